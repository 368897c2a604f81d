# Cross-compiling the Windows deliverables with Debian's mingw-w64 (posix threads), 64-bit x86.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
