# Cross-compiles for Linux on 32-bit ARM with double arithmetic done in
# software (Debian armel: g++-arm-linux-gnueabi).
set(CROSS_TRIPLET arm-linux-gnueabi)
set(CMAKE_SYSTEM_PROCESSOR armv5tel)
set(CROSS_EMULATORS qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
