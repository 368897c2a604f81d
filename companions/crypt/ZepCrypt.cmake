# The sample encryption library: its cipher is libgcrypt on both builds (pkg-config on Linux; the mingw
# package's static libraries on Windows, so that the DLL needs nothing beside it).
if(WIN32)
    find_path(ZEP_GCRYPT_INCLUDE_DIR gcrypt.h REQUIRED)
    find_library(ZEP_GCRYPT_LIBRARY NAMES libgcrypt.a gcrypt REQUIRED)
    find_library(ZEP_GPG_ERROR_LIBRARY NAMES libgpg-error.a gpg-error REQUIRED)
    add_library(zep_gcrypt INTERFACE)
    target_include_directories(zep_gcrypt INTERFACE ${ZEP_GCRYPT_INCLUDE_DIR})
    target_link_libraries(zep_gcrypt INTERFACE ${ZEP_GCRYPT_LIBRARY} ${ZEP_GPG_ERROR_LIBRARY} ws2_32)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(ZEP_GCRYPT REQUIRED IMPORTED_TARGET libgcrypt)
    add_library(zep_gcrypt INTERFACE)
    target_link_libraries(zep_gcrypt INTERFACE PkgConfig::ZEP_GCRYPT)
endif()

# The job stream scheme, shared with the printer-side decoder.
add_library(zepcryptscheme STATIC ${CMAKE_CURRENT_LIST_DIR}/scheme.cpp)
target_include_directories(zepcryptscheme PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zepcryptscheme PUBLIC zep_gcrypt)
if(NOT WIN32)
    target_link_libraries(zepcryptscheme PUBLIC zepwin32)
endif()
set_target_properties(zepcryptscheme PROPERTIES POSITION_INDEPENDENT_CODE ON)

zep_add_module(ZepCrypt ${CMAKE_CURRENT_LIST_DIR}/ZepCrypt.def
    ${CMAKE_CURRENT_LIST_DIR}/crypt.cpp ${CMAKE_CURRENT_LIST_DIR}/cryptui.cpp)
target_include_directories(ZepCrypt PRIVATE ${PROJECT_SOURCE_DIR})
zep_add_resources(ZepCrypt ${CMAKE_CURRENT_LIST_DIR}/ZepCrypt.rc)
target_link_libraries(ZepCrypt PRIVATE zepcryptscheme)
if(WIN32)
    target_link_libraries(ZepCrypt PRIVATE user32)
    target_link_options(ZepCrypt PRIVATE -static-libgcc -static-libstdc++)
else()
    # libgcrypt keeps its initialised state for the life of the process and never frees it. Unloading the library
    # with every operation would leave that state unreachable each time, so once loaded it stays, as it does in
    # a process that links libgcrypt itself.
    target_link_options(ZepCrypt PRIVATE -Wl,-z,nodelete)
endif()
