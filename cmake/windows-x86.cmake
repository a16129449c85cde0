# Cross-compiles for 32-bit Windows on x86 with MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(SPHERE_TARGET windows-x86)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
