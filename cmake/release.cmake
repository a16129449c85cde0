# Makes a release: builds and tests the program for every target that the
# presets build, packages it, and writes the packages to a fresh dist/ with
# SHA256SUMS beside them.
#
#   cmake -P cmake/release.cmake
#
# The same commit gives the same bytes, wherever, whenever and by whomever it
# is released: every time stamp is SOURCE_DATE_EPOCH (the last commit's time
# where it is not set), and the builds run under one umask, time zone and locale.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(dist "${source}/dist")

# Every target that the presets build, and what building and testing them
# needs, as program:Debian package: the compilers, the emulators that run the
# tests, and the tools that package.
set(presets test linux-aarch64 linux-armhf linux-armel linux-i686 linux-mips64el
  linux-ppc64le linux-riscv64 linux-s390x windows-x86 windows-x64)
set(requirements make:make gzip:gzip git:git file:file dpkg-shlibdeps:dpkg-dev rpmbuild:rpm
  g++:g++ /usr/include/gtest/gtest.h:libgtest-dev
  aarch64-linux-gnu-g++:g++-aarch64-linux-gnu arm-linux-gnueabihf-g++:g++-arm-linux-gnueabihf
  arm-linux-gnueabi-g++:g++-arm-linux-gnueabi i686-linux-gnu-g++:g++-i686-linux-gnu
  mips64el-linux-gnuabi64-g++:g++-mips64el-linux-gnuabi64
  powerpc64le-linux-gnu-g++:g++-powerpc64le-linux-gnu riscv64-linux-gnu-g++:g++-riscv64-linux-gnu
  s390x-linux-gnu-g++:g++-s390x-linux-gnu
  qemu-aarch64:qemu-user qemu-arm:qemu-user qemu-i386:qemu-user qemu-mips64el:qemu-user
  qemu-ppc64le:qemu-user qemu-riscv64:qemu-user qemu-s390x:qemu-user
  i686-w64-mingw32-g++:g++-mingw-w64-i686 x86_64-w64-mingw32-g++:g++-mingw-w64-x86-64
  /usr/lib/wine/wine:wine32 /usr/lib/wine/wine64:wine64)

# Nothing is built unless everything can be: a release is never partial.
set(missing "")
foreach(requirement IN LISTS requirements)
  string(REPLACE ":" ";" requirement "${requirement}")
  list(GET requirement 0 program)
  list(GET requirement 1 package)
  unset(found)
  if(NOT IS_ABSOLUTE "${program}")
    find_program(found NAMES ${program} NO_CACHE)
  elseif(EXISTS "${program}")
    set(found "${program}")
  endif()
  if(NOT found)
    list(APPEND missing ${package})
  endif()
endforeach()
if(missing)
  list(REMOVE_DUPLICATES missing)
  list(JOIN missing " " missing)
  message(FATAL_ERROR "No release without these Debian packages: apt-get install ${missing}")
endif()

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${source}"
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C)

# Runs a command with the files it creates readable by all, whatever the
# caller's umask: cpack makes the packages' folders with it.
function(run)
  execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" sh ${ARGN}
    WORKING_DIRECTORY "${source}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()

file(REMOVE_RECURSE "${dist}")
file(MAKE_DIRECTORY "${dist}")
foreach(preset IN LISTS presets)
  message(STATUS "Building and testing ${preset}")
  run(cmake --workflow --preset ${preset} --fresh)
  set(packages "${source}/build/${preset}/packages")
  file(REMOVE_RECURSE "${packages}")
  run(cpack --config build/${preset}/CPackConfig.cmake -B "${packages}")
  file(GLOB made LIST_DIRECTORIES false "${packages}/*")
  file(COPY ${made} DESTINATION "${dist}")
endforeach()

file(GLOB made RELATIVE "${dist}" "${dist}/*")
list(SORT made)
set(sums "")
foreach(name IN LISTS made)
  file(SHA256 "${dist}/${name}" sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE "${dist}/SHA256SUMS" "${sums}")
list(JOIN made "\n  " made)
message(STATUS "Released into ${dist}:\n  ${made}\n  SHA256SUMS")
