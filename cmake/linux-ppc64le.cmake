# Cross-compiles for Linux on little-endian 64-bit POWER (Debian ppc64el:
# g++-powerpc64le-linux-gnu).
set(CROSS_TRIPLET powerpc64le-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
set(CROSS_EMULATORS qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
