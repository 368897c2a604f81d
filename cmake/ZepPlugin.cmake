# Shared helpers for building the plug-in modules and the companion libraries.

# A module whose only exports are those its .def file lists, on both builds: windres/ld read the .def on
# Windows; on Linux the same list becomes a version script, and everything else stays hidden.
function(zep_add_module name def)
    add_library(${name} SHARED ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    if(WIN32)
        target_sources(${name} PRIVATE ${def})
        # The .def lists plain names; on 32-bit x86 the linker binds each to its stdcall symbol (name@bytes), so
        # the exports carry no decoration, as the loaders that call them by name expect.
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
        endif()
    else()
        file(STRINGS ${def} lines)
        set(globals "")
        set(in_exports FALSE)
        foreach(line IN LISTS lines)
            string(STRIP "${line}" line)
            if(line STREQUAL "EXPORTS")
                set(in_exports TRUE)
            elseif(in_exports AND NOT line STREQUAL "" AND NOT line MATCHES "^;")
                string(REGEX REPLACE "[ \t@=].*$" "" sym "${line}")
                string(APPEND globals "${sym}; ")
            endif()
        endforeach()
        set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}.map)
        if(globals STREQUAL "")
            # A resource-only module exports nothing.
            file(WRITE ${script} "{ local: *; };\n")
        else()
            file(WRITE ${script} "{ global: ${globals}local: *; };\n")
        endif()
        target_link_options(${name} PRIVATE -Wl,--version-script=${script} -Wl,--no-undefined)
        set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${script} ${def})
        # The script is written when the project is configured, so a changed export list configures it again.
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
        # zepdllmain calls the module's DllMain at load, as the Windows loader does.
        target_link_libraries(${name} PRIVATE zepwin32 zepdllmain)
    endif()
endfunction()
