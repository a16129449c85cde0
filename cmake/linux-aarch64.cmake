# Cross-compiles for Linux on 64-bit ARM (Debian: g++-aarch64-linux-gnu).
set(CROSS_TRIPLET aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CROSS_EMULATORS qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
