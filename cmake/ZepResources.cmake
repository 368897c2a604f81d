# Module resources: zep_add_resources(target rcfile) compiles a .rc with windres into the module on both builds.
# On Windows the .rc is a source of the DLL (the RC language). On Linux windres makes a .res file, and a small
# generated C file places its bytes in an ELF note (owner "Zep", type "RES "), where the layer's FindResourceW
# finds them through the module's program headers.
include_guard(GLOBAL)

if(WIN32)
    enable_language(RC)
else()
    find_program(ZEP_WINDRES NAMES x86_64-w64-mingw32-windres i686-w64-mingw32-windres windres REQUIRED)
endif()

function(zep_add_resources target rcfile)
    # The .rc files include "win32/styles.h" for the style constants (not the SDK's headers, on either build)
    # and the id headers next to them.
    get_filename_component(root ${CMAKE_CURRENT_FUNCTION_LIST_DIR} DIRECTORY)
    set(styles ${root}/platform/include/win32/styles.h)
    set(rcincludes ${root}/platform/include ${root}/resources)
    get_filename_component(rc ${rcfile} ABSOLUTE)
    get_filename_component(rcdir ${rc} DIRECTORY)
    get_filename_component(stem ${rc} NAME_WE)
    if(WIN32)
        target_sources(${target} PRIVATE ${rc})
        set_property(SOURCE ${rc} APPEND PROPERTY INCLUDE_DIRECTORIES ${rcincludes} ${rcdir})
        set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${styles})
        return()
    endif()

    set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}_${stem}.res)
    set(embed ${CMAKE_CURRENT_BINARY_DIR}/${target}_${stem}_res.c)
    set(includes "")
    foreach(dir IN LISTS rcincludes rcdir)
        list(APPEND includes -I ${dir})
    endforeach()
    # Whatever sits next to the .rc (id headers, bitmaps, icons) may be named by it.
    file(GLOB rcdeps CONFIGURE_DEPENDS ${rcdir}/*.h ${rcdir}/*.bmp ${rcdir}/*.ico ${rcdir}/*.rc ${rcdir}/*/*.bmp
         ${rcdir}/*/*.ico)
    add_custom_command(OUTPUT ${res}
        COMMAND ${ZEP_WINDRES} --preprocessor=cpp --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED
                ${includes} --input-format=rc --output-format=res ${rc} ${res}
        DEPENDS ${rc} ${rcdeps} ${styles}
        WORKING_DIRECTORY ${rcdir}
        COMMENT "Compiling resources ${stem}.rc for ${target}"
        VERBATIM)
    # Eight zero bytes after the .res: the last resource is then followed by a NUL, as the image's padding gives
    # on Windows, and the loader sees an empty header that ends the index.
    file(WRITE ${embed}.in
"/* Generated from ${rc}: the compiled resources of the module in an ELF note. */\n"
"__asm__(\".pushsection .note.zep.resources,\\\"a\\\",@note\\n\"\n"
"        \".balign 4\\n\"\n"
"        \".long 4\\n\"\n"
"        \".long 2f - 1f\\n\"\n"
"        \".long 0x20534552\\n\"\n"
"        \".asciz \\\"Zep\\\"\\n\"\n"
"        \".balign 4\\n\"\n"
"        \"1: .incbin \\\"${res}\\\"\\n\"\n"
"        \".long 0, 0\\n\"\n"
"        \"2: .balign 4\\n\"\n"
"        \".popsection\\n\");\n")
    configure_file(${embed}.in ${embed} COPYONLY)
    set_source_files_properties(${embed} PROPERTIES OBJECT_DEPENDS ${res})
    target_sources(${target} PRIVATE ${embed})
    # The object only changes when the .res does, but make must also produce the .res first.
    add_custom_target(${target}_resources DEPENDS ${res})
    add_dependencies(${target} ${target}_resources)
endfunction()
