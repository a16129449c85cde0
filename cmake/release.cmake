# Makes a release of the last commit: builds and tests the program for every
# target in targets.cmake and packages it, makes the source archive and checks
# that it builds and passes its tests on its own, and writes all of it to a
# fresh dist/ with SHA256SUMS beside them.
#
#   cmake -P cmake/release.cmake
#
# The source archive holds the commit, so uncommitted changes to tracked files
# stop the release: the packages would not be built from what it holds.
#
# The same commit gives the same bytes, wherever, whenever and by whomever it
# is released: every time stamp is SOURCE_DATE_EPOCH (the last commit's time
# where it is not set), and the builds run under one umask, time zone and locale.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(dist "${source}/dist")
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)

# Nothing is built unless everything can be: a release is never partial. It
# needs, as program:Debian packages, the tools that build and package, and each
# target's compiler and the emulator that runs its tests.
set(requirements make:make gzip:gzip git:git readelf:binutils rpmbuild:rpm
  /usr/include/gtest/gtest.h:libgtest-dev /usr/src/googletest:googletest)
foreach(preset IN LISTS SPHERE_TARGETS)
  set(compiler g++)
  if(SPHERE_TARGET_${preset}_triplet)
    set(compiler ${SPHERE_TARGET_${preset}_triplet}-g++)
  endif()
  list(JOIN SPHERE_TARGET_${preset}_packages "," packages)
  foreach(program IN ITEMS ${compiler} ${SPHERE_TARGET_${preset}_emulator})
    list(APPEND requirements ${program}:${packages})
  endforeach()
endforeach()
set(missing "")
foreach(requirement IN LISTS requirements)
  string(REGEX MATCH "^([^:]+):(.+)$" requirement "${requirement}")
  set(program ${CMAKE_MATCH_1})
  string(REPLACE "," ";" packages "${CMAKE_MATCH_2}")
  unset(found)
  find_program(found NAMES ${program} HINTS /usr/lib/wine NO_CACHE)
  if(NOT found AND NOT EXISTS "${program}")
    list(APPEND missing ${packages})
  endif()
endforeach()
if(missing)
  list(REMOVE_DUPLICATES missing)
  list(JOIN missing " " missing)
  message(FATAL_ERROR "No release without these Debian packages: apt-get install ${missing}")
endif()

# Runs a command in the sources with the files it creates readable by all,
# whatever the caller's umask: cpack makes the packages' folders with it.
function(run)
  execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" sh ${ARGN}
    WORKING_DIRECTORY "${source}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()

execute_process(COMMAND git update-index -q --refresh WORKING_DIRECTORY "${source}" OUTPUT_QUIET)
execute_process(COMMAND git status --porcelain --untracked-files=no
  WORKING_DIRECTORY "${source}" OUTPUT_VARIABLE changes COMMAND_ERROR_IS_FATAL ANY)
if(changes)
  message(FATAL_ERROR "Commit these changes first; a release is made of a commit:\n${changes}")
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${source}"
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C)

file(REMOVE_RECURSE "${dist}")
file(MAKE_DIRECTORY "${dist}")
foreach(preset IN LISTS SPHERE_TARGETS)
  message(STATUS "Building and testing ${preset}")
  run(cmake --workflow --preset ${preset} --fresh)
  set(packages "${source}/build/${preset}/packages")
  file(REMOVE_RECURSE "${packages}")
  run(cpack --config build/${preset}/CPackConfig.cmake -B "${packages}")
  file(GLOB made LIST_DIRECTORIES false "${packages}/*")
  file(COPY ${made} DESTINATION "${dist}")
endforeach()

# The source archive: the commit's files under sphere-<version>/, as git
# stores them whatever the local settings, each dated at the commit. The
# version is project()'s, as cpack packaged it.
function(packaged_version variable)
  list(GET SPHERE_TARGETS 0 preset)
  include("${source}/build/${preset}/CPackConfig.cmake")
  set(${variable} ${CPACK_PACKAGE_VERSION} PARENT_SCOPE)
endfunction()
packaged_version(version)
set(name sphere-${version})
message(STATUS "Making and checking ${name}.tar.gz")
run(sh -c "git -c tar.umask=022 -c core.autocrlf=false archive --format=tar --prefix=${name}/ HEAD | gzip -9 -n > \"$1\"" sh "${dist}/${name}.tar.gz")
# It must build and pass its tests on its own, as a distribution builds it: unpacked
# in a scratch folder, with no repository around it.
set(scratch "${source}/build/distcheck")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}")
file(ARCHIVE_EXTRACT INPUT "${dist}/${name}.tar.gz" DESTINATION "${scratch}")
set(ENV{GIT_CEILING_DIRECTORIES} "${scratch}")
execute_process(COMMAND cmake --workflow --preset test
  WORKING_DIRECTORY "${scratch}/${name}" COMMAND_ERROR_IS_FATAL ANY)
unset(ENV{GIT_CEILING_DIRECTORIES})

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
