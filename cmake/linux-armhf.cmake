# Cross-compiles for Linux on 32-bit ARM with hardware floating point, whose
# doubles are passed in VFP registers (Debian armhf).
set(CMAKE_SYSTEM_NAME Linux)
set(SPHERE_TARGET linux-armhf)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
