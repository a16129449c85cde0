# Cross-compiles for Linux on little-endian 64-bit MIPS (Debian mips64el).
set(CMAKE_SYSTEM_NAME Linux)
set(SPHERE_TARGET linux-mips64el)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
