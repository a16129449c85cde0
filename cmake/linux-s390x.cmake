# Cross-compiles for Linux on IBM Z, a big-endian processor (Debian: g++-s390x-linux-gnu).
set(CROSS_TRIPLET s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(CROSS_EMULATORS qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
