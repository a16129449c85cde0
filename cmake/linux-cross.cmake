# Shared part of the toolchains for Linux on other processors: set
# CROSS_TRIPLET and CMAKE_SYSTEM_PROCESSOR, name the user-mode emulator that
# runs the result (Debian: qemu-user) in CROSS_EMULATORS, then include this
# file. The program links its runtime statically, so the emulator needs no
# libraries of the other processor.
set(CMAKE_SYSTEM_NAME Linux)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
