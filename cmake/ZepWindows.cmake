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
# program Wine cannot start still exits 0. scripts/wine-suite.sh prepares the prefix and the wine server.
function(zep_add_wine_test target)
    add_test(NAME wine_${target}
             COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:${target}> --gtest_color=no)
    set_tests_properties(wine_${target} PROPERTIES
        ENVIRONMENT "ZEP_BUILD_DIR=${PROJECT_BINARY_DIR};ZEP_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
        TIMEOUT 300)
endfunction()
