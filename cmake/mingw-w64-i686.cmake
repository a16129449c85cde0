# Cross-compiles for 32-bit Windows on x86 with MinGW-w64 (Debian: g++-mingw-w64-i686).
set(CROSS_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CROSS_EMULATORS wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
