# The Windows side of the build: the deliverables target and the Wine runs of the cross-built test programs.

# Called once the whole project is read: every module that exists joins zep_deliverables.
function(zep_collect_deliverables)
    foreach(module IN ITEMS ZepPS ZepUI ZepCrypt ZepCard)
        if(TARGET ${module})
            add_dependencies(zep_deliverables ${module})
        endif()
    endforeach()
endfunction()

# One ctest test per test program: the whole program under Wine, judged by GoogleTest's own summary, because a
# program Wine cannot start still exits 0. scripts/wine-suite.sh prepares the prefix and the wine server. The
# programs run one at a time: they share the prefix's spooler, its printer-driver folders and its desktop, where
# two programs' dialogs would take the activation from each other.
# Options: NAME (the test's name, default wine_TARGET), LOCALE (the Unix locale Wine takes its code pages from),
# ARGS (more arguments for the program, such as a --gtest_filter).
function(zep_add_wine_test target)
    cmake_parse_arguments(PARSE_ARGV 1 wine "" "NAME;LOCALE" "ARGS")
    if(NOT wine_NAME)
        set(wine_NAME wine_${target})
    endif()
    set(environment "ZEP_BUILD_DIR=${PROJECT_BINARY_DIR};ZEP_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
    if(wine_LOCALE)
        list(APPEND environment "LANG=${wine_LOCALE}" "LC_ALL=${wine_LOCALE}")
    endif()
    add_test(NAME ${wine_NAME}
             COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:${target}> --gtest_color=no
                     ${wine_ARGS})
    set_tests_properties(${wine_NAME} PROPERTIES ENVIRONMENT "${environment}" RESOURCE_LOCK wineprefix TIMEOUT 300)
endfunction()
