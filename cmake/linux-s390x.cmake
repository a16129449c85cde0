# Cross-compiles for Linux on IBM Z, a big-endian processor (Debian s390x).
set(CMAKE_SYSTEM_NAME Linux)
set(SPHERE_TARGET linux-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
