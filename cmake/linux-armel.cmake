# Cross-compiles for Linux on 32-bit ARM with double arithmetic done in
# software (Debian armel).
set(CMAKE_SYSTEM_NAME Linux)
set(SPHERE_TARGET linux-armel)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
