# Every target that a release is built for, one line each, with what the
# toolchain, the packages, the release and CI need to know of it:
#
#   preset     the preset (configure, build, test and workflow) that builds it,
#              in cmake/presets/targets.json, which cmake/presets/make_targets.cmake
#              writes from this file
#   system     CMAKE_SYSTEM_NAME in its build
#   processor  CMAKE_SYSTEM_PROCESSOR in its build
#   deb, rpm   Debian's and RPM's names for that processor (- for Windows)
#   triplet    the prefix of its compilers' names (- for the host's own, which
#              must build for this processor)
#   emulator   what runs its programs on an x86-64 Linux machine (- for nothing),
#              by its name, its path, or its path in this tree: 64-bit Wine's
#              own loader, since /usr/bin/wine starts whichever is installed,
#              and for 32-bit programs tests/wine-wow64, which runs them with it
#   packages   the Debian packages that build it and run its tests, comma-separated
#              (MinGW-w64's posix thread model builds the Windows unit tests;
#              libwine:i386 holds Wine's 32-bit DLLs)
#
# Included, this file sets SPHERE_TARGETS to the presets and, for each preset
# and field, SPHERE_TARGET_<preset>_<field>. Run as a script, it prints the
# given fields of every target, one target a line:
#
#   cmake -D FIELDS="deb emulator triplet" -P cmake/targets.cmake
set(sphere_target_table
    [[
linux-x86_64   Linux   x86_64   amd64    x86_64   -                       -                    g++,libgtest-dev
linux-aarch64  Linux   aarch64  arm64    aarch64  aarch64-linux-gnu       qemu-aarch64         g++-aarch64-linux-gnu,qemu-user
linux-armhf    Linux   armv7l   armhf    armv7hl  arm-linux-gnueabihf     qemu-arm             g++-arm-linux-gnueabihf,qemu-user
linux-armel    Linux   armv5tel armel    armv5tel arm-linux-gnueabi       qemu-arm             g++-arm-linux-gnueabi,qemu-user
linux-i686     Linux   i686     i386     i686     i686-linux-gnu          qemu-i386            g++-i686-linux-gnu,qemu-user
linux-mips64el Linux   mips64   mips64el mips64el mips64el-linux-gnuabi64 qemu-mips64el        g++-mips64el-linux-gnuabi64,qemu-user
linux-ppc64le  Linux   ppc64le  ppc64el  ppc64le  powerpc64le-linux-gnu   qemu-ppc64le         g++-powerpc64le-linux-gnu,qemu-user
linux-riscv64  Linux   riscv64  riscv64  riscv64  riscv64-linux-gnu       qemu-riscv64         g++-riscv64-linux-gnu,qemu-user
linux-s390x    Linux   s390x    s390x    s390x    s390x-linux-gnu         qemu-s390x           g++-s390x-linux-gnu,qemu-user
windows-x86    Windows x86      -        -        i686-w64-mingw32        tests/wine-wow64     g++-mingw-w64-i686,g++-mingw-w64-i686-posix,wine64,libwine:i386
windows-x64    Windows AMD64    -        -        x86_64-w64-mingw32      /usr/lib/wine/wine64 g++-mingw-w64-x86-64,g++-mingw-w64-x86-64-posix,wine64
]])
set(sphere_target_fields preset system processor deb rpm triplet emulator packages)

# What each target's preset says it is, to those who list the presets.
set(sphere_target_names
    [[
linux-x86_64   Linux on x86-64, with the host's compiler
linux-aarch64  Linux on 64-bit ARM
linux-armhf    Linux on 32-bit ARM, hardware floating point
linux-armel    Linux on 32-bit ARM, software floating point
linux-i686     Linux on 32-bit x86 with SSE2
linux-mips64el Linux on little-endian 64-bit MIPS
linux-ppc64le  Linux on little-endian 64-bit POWER
linux-riscv64  Linux on 64-bit RISC-V
linux-s390x    Linux on big-endian IBM Z
windows-x86    32-bit Windows console program (MinGW-w64)
windows-x64    64-bit Windows console program (MinGW-w64)
]])

# Sets SPHERE_TARGETS and SPHERE_TARGET_<preset>_<field> from the table, a
# "-" in it becoming an empty value, and SPHERE_TARGET_<preset>_name.
function(sphere_read_targets)
  set(presets "")
  string(REGEX MATCHALL "[^\n]+" lines "${sphere_target_table}")
  foreach(line IN LISTS lines)
    string(REGEX MATCHALL "[^ ]+" values "${line}")
    list(GET values 0 preset)
    list(APPEND presets ${preset})
    foreach(field IN LISTS sphere_target_fields)
      list(POP_FRONT values value)
      string(REGEX REPLACE "^-$" "" value "${value}")
      string(REPLACE "," ";" value "${value}")
      set(SPHERE_TARGET_${preset}_${field} "${value}" PARENT_SCOPE)
    endforeach()
  endforeach()
  string(REGEX MATCHALL "[^\n]+" lines "${sphere_target_names}")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^([^ ]+) +(.*)$" line "${line}")
    set(SPHERE_TARGET_${CMAKE_MATCH_1}_name "${CMAKE_MATCH_2}" PARENT_SCOPE)
  endforeach()
  set(SPHERE_TARGETS ${presets} PARENT_SCOPE)
endfunction()
sphere_read_targets()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  string(REGEX MATCHALL "[^ ;]+" fields "${FIELDS}")
  foreach(preset IN LISTS SPHERE_TARGETS)
    set(line "")
    foreach(field IN LISTS fields)
      set(value "${SPHERE_TARGET_${preset}_${field}}")
      if(value STREQUAL "")
        set(value -)
      endif()
      list(APPEND line ${value})
    endforeach()
    list(JOIN line " " line)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${line}")
  endforeach()
endif()
