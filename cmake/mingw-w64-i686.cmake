# Cross-compiles for 32-bit Windows on x86 with MinGW-w64 (Debian: g++-mingw-w64-i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run the Windows program under Wine where Wine is installed and its
# 32-bit loader can run on this machine (it cannot where the kernel runs no
# 32-bit x86 code).
find_program(SPHERE_WINE wine)
if(SPHERE_WINE AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  execute_process(COMMAND "${SPHERE_WINE}" --version
    RESULT_VARIABLE wine_status OUTPUT_QUIET ERROR_QUIET)
  if(wine_status EQUAL 0)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${SPHERE_WINE}")
  endif()
endif()
