# Cross-compiling the Windows deliverables with Debian's mingw-w64 (posix threads), 32-bit x86.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
