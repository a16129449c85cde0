# Cross-compiles for Linux on 64-bit RISC-V (Debian riscv64).
set(CMAKE_SYSTEM_NAME Linux)
set(SPHERE_TARGET linux-riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
