# The sample encryption library: its cipher is libgcrypt on both builds (pkg-config on Linux; the mingw
# package's static libraries on Windows, so that the DLL needs nothing beside it).
zep_add_module(ZepCrypt ${CMAKE_CURRENT_LIST_DIR}/ZepCrypt.def
    ${CMAKE_CURRENT_LIST_DIR}/crypt.cpp ${CMAKE_CURRENT_LIST_DIR}/cryptui.cpp)
target_include_directories(ZepCrypt PRIVATE ${PROJECT_SOURCE_DIR})
zep_add_resources(ZepCrypt ${CMAKE_CURRENT_LIST_DIR}/ZepCrypt.rc)
if(WIN32)
    find_path(ZEP_GCRYPT_INCLUDE_DIR gcrypt.h REQUIRED)
    find_library(ZEP_GCRYPT_LIBRARY NAMES libgcrypt.a gcrypt REQUIRED)
    find_library(ZEP_GPG_ERROR_LIBRARY NAMES libgpg-error.a gpg-error REQUIRED)
    target_include_directories(ZepCrypt PRIVATE ${ZEP_GCRYPT_INCLUDE_DIR})
    target_link_libraries(ZepCrypt PRIVATE ${ZEP_GCRYPT_LIBRARY} ${ZEP_GPG_ERROR_LIBRARY} ws2_32 user32)
    target_link_options(ZepCrypt PRIVATE -static-libgcc -static-libstdc++)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(ZEP_GCRYPT REQUIRED IMPORTED_TARGET libgcrypt)
    target_link_libraries(ZepCrypt PRIVATE PkgConfig::ZEP_GCRYPT)
    # libgcrypt keeps its initialised state for the life of the process and never frees it. Unloading the library
    # with every operation would leave that state unreachable each time, so once loaded it stays, as it does in
    # a process that links libgcrypt itself.
    target_link_options(ZepCrypt PRIVATE -Wl,-z,nodelete)
endif()
