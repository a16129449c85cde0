# Shared part of the MinGW-w64 toolchains: set CROSS_TRIPLET and
# CMAKE_SYSTEM_PROCESSOR, name the Wine loaders that can run the result in
# CROSS_EMULATORS, then include this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_RC_COMPILER ${CROSS_TRIPLET}-windres)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
