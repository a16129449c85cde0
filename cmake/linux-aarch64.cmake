# Cross-compiles for Linux on 64-bit ARM (Debian arm64).
set(CMAKE_SYSTEM_NAME Linux)
set(SPHERE_TARGET linux-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
