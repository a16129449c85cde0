# The toolchain of every cross-compiled target. The preset names the target
# (SPHERE_TARGET); its line in targets.cmake gives the system, the processor,
# the compilers and the emulator that runs the tests. SPHERE_THREAD_MODEL, where
# set, picks the compilers of that thread model (Debian's MinGW-w64 GCC has
# win32, the default, and posix). Try-compiles read this file again, so they
# are handed both too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SPHERE_TARGET SPHERE_THREAD_MODEL)
include(${CMAKE_CURRENT_LIST_DIR}/../targets.cmake)
if(NOT SPHERE_TARGET_${SPHERE_TARGET}_triplet)
  message(
    FATAL_ERROR "SPHERE_TARGET must name a cross-compiled target of cmake/targets.cmake, not \"${SPHERE_TARGET}\"")
endif()
set(triplet ${SPHERE_TARGET_${SPHERE_TARGET}_triplet})
set(CMAKE_SYSTEM_NAME ${SPHERE_TARGET_${SPHERE_TARGET}_system})
set(CMAKE_SYSTEM_PROCESSOR ${SPHERE_TARGET_${SPHERE_TARGET}_processor})
set(thread_model "")
if(SPHERE_THREAD_MODEL)
  set(thread_model -${SPHERE_THREAD_MODEL})
endif()
set(CMAKE_C_COMPILER ${triplet}-gcc${thread_model})
set(CMAKE_CXX_COMPILER ${triplet}-g++${thread_model})
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(CMAKE_RC_COMPILER ${triplet}-windres)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run the programs through the emulator where it is installed and can
# run on this machine; where it cannot, it says why, and the reason stays in
# the cache (SPHERE_EMULATOR_UNUSABLE) for the release to name. qemu takes the
# target's dynamic loader and C library from the cross toolchain's folder.
set(emulator ${SPHERE_TARGET_${SPHERE_TARGET}_emulator})
if(emulator MATCHES "^tests/")
  get_filename_component(emulator "${CMAKE_CURRENT_LIST_DIR}/../../${emulator}" ABSOLUTE)
endif()
find_program(SPHERE_EMULATOR NAMES ${emulator})
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  get_filename_component(name "${emulator}" NAME)
  set(unusable "${name} is not installed")
  if(SPHERE_EMULATOR)
    execute_process(COMMAND "${SPHERE_EMULATOR}" --version RESULT_VARIABLE emulator_status OUTPUT_QUIET
                    ERROR_VARIABLE unusable)
    string(REGEX REPLACE "^${name}: " "" unusable "${unusable}")
    string(STRIP "${unusable}" unusable)
    if(emulator_status EQUAL 0)
      set(unusable "")
      set(CMAKE_CROSSCOMPILING_EMULATOR "${SPHERE_EMULATOR}")
      if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
        list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -L ${CMAKE_FIND_ROOT_PATH})
      endif()
    elseif(unusable STREQUAL "")
      set(unusable "${name} --version ended with ${emulator_status}")
    endif()
  endif()
  if(unusable)
    message(STATUS "${name} cannot run here: ${unusable}")
  endif()
  set(SPHERE_EMULATOR_UNUSABLE "${unusable}" CACHE INTERNAL
                                                   "Why this target's programs cannot run here, where they cannot")
endif()
