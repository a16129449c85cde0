# Cross-compiles for Linux on 64-bit RISC-V (Debian: g++-riscv64-linux-gnu).
set(CROSS_TRIPLET riscv64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR riscv64)
set(CROSS_EMULATORS qemu-riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
