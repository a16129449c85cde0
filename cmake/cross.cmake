# Shared part of every cross toolchain: set CMAKE_SYSTEM_NAME,
# CMAKE_SYSTEM_PROCESSOR, CROSS_TRIPLET (the prefix of the compilers' names)
# and CROSS_EMULATORS (programs that can run the result here, the first one
# found is used), then include this file.
set(CMAKE_C_COMPILER ${CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${CROSS_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run the program through the emulator where it is installed and can
# run on this machine: Wine's 32-bit loader, for one, cannot where the kernel
# runs no 32-bit x86 code.
find_program(SPHERE_EMULATOR NAMES ${CROSS_EMULATORS} PATHS /usr/lib/wine)
if(SPHERE_EMULATOR AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  execute_process(COMMAND "${SPHERE_EMULATOR}" --version
    RESULT_VARIABLE emulator_status OUTPUT_QUIET ERROR_QUIET)
  if(emulator_status EQUAL 0)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${SPHERE_EMULATOR}")
  endif()
endif()
