# Cross-compiles for Linux on little-endian 64-bit MIPS (Debian mips64el:
# g++-mips64el-linux-gnuabi64).
set(CROSS_TRIPLET mips64el-linux-gnuabi64)
set(CMAKE_SYSTEM_PROCESSOR mips64)
set(CROSS_EMULATORS qemu-mips64el)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
