# Cross-compiles for 64-bit Windows with MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(SPHERE_TARGET windows-x64)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
