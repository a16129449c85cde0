# Cross-compiles for Linux on little-endian 64-bit POWER (Debian ppc64el).
set(CMAKE_SYSTEM_NAME Linux)
set(SPHERE_TARGET linux-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
