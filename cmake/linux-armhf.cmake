# Cross-compiles for Linux on 32-bit ARM with hardware floating point, whose
# doubles are passed in VFP registers (Debian armhf: g++-arm-linux-gnueabihf).
set(CROSS_TRIPLET arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(CROSS_EMULATORS qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
