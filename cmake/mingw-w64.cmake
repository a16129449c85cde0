# Shared part of the MinGW-w64 toolchains: set MINGW_TRIPLET and
# CMAKE_SYSTEM_PROCESSOR, name the Wine loader that runs the result in
# MINGW_WINE_LOADERS, then include this file.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run the Windows program under Wine where Wine is installed and its
# loader can run on this machine (the 32-bit one cannot where the kernel runs
# no 32-bit x86 code).
find_program(SPHERE_WINE NAMES ${MINGW_WINE_LOADERS} PATHS /usr/lib/wine)
if(SPHERE_WINE AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  execute_process(COMMAND "${SPHERE_WINE}" --version
    RESULT_VARIABLE wine_status OUTPUT_QUIET ERROR_QUIET)
  if(wine_status EQUAL 0)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${SPHERE_WINE}")
  endif()
endif()
