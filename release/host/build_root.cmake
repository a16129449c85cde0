# The build root: a minimal root of one Debian release, made by mmdebstrap,
# Debian's own tool for it, holding exactly what a release builds, tests,
# packages, signs and checks with. Everything that makes a release's bytes
# runs in it, so those bytes, and the Linux programs' glibc floor, come from
# the root's packages, never from the host's: the host needs only mmdebstrap,
# unshare and a way into the root, root itself or unprivileged user namespaces
# with subordinate ids (uidmap's newuidmap, and the user's lines in /etc/subuid
# and /etc/subgid), as mmdebstrap needs them too.
#
# Settings, each a -D of the release and of the rebuild:
#   SUITE             the Debian release (bookworm: its glibc, 2.36, keeps the
#                     programs' floor, 2.34)
#   MIRROR            the archive to make it from: by default the Debian mirror
#                     that apt on this host uses, else deb.debian.org; a
#                     snapshot of the archive, such as
#                     http://snapshot.debian.org/archive/debian/20261201T000000Z,
#                     brings back the packages of that time
#   BUILD_ROOT_CACHE  where roots are kept between releases: by default
#                     $XDG_CACHE_HOME/sphere, or ~/.cache/sphere
#
#   sphere_build_root_settings()
#   sphere_check_build_root_host()
#   sphere_make_build_root(PACKAGES <package[:arch][=version]>... VARIABLE <variable>
#                          [MIRROR_DATE <the recorded date of the mirror's Release file>])
#
# A root is kept as a tarball named for what makes it, the suite, the mirror,
# its package list and the date of the mirror's Release file, where the
# versions are not given: a release finds the one made before it until one of
# them changes, and is then made anew (enter_build_root.cmake runs a command
# in it).
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/enter_build_root.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/targets.cmake)

# What the release itself needs in the root besides each target's packages:
# CMake and make; git, which makes the source archive; binutils' readelf for
# the programs' symbol versions; rpm's rpmbuild; GoogleTest, installed and as
# sources for the cross builds; locales, which the tests under a locale with a
# decimal comma are made from; GnuPG, apt-ftparchive (apt-utils) and
# createrepo_c for the signatures and repositories; osslsigncode and openssl
# for the Windows programs' signatures.
set(SPHERE_RELEASE_PACKAGES cmake make git binutils rpm libgtest-dev googletest locales gnupg apt-utils createrepo-c
                            osslsigncode openssl)

# Sets SUITE, MIRROR and BUILD_ROOT_CACHE to their defaults where unset.
macro(sphere_build_root_settings)
  if(NOT SUITE)
    set(SUITE bookworm)
  endif()
  if(NOT MIRROR)
    set(MIRROR http://deb.debian.org/debian)
    file(GLOB sources /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    foreach(file IN LISTS sources)
      file(STRINGS "${file}" lines REGEX "^[ \t]*(deb|URIs:)[ \t]+[a-z]+://[^ \t]+/debian/?([ \t]|$)")
      if(lines)
        list(GET lines 0 line)
        string(REGEX MATCH "[a-z]+://[^ \t]+/debian" MIRROR "${line}")
        break()
      endif()
    endforeach()
  endif()
  if(NOT BUILD_ROOT_CACHE)
    if(DEFINED ENV{XDG_CACHE_HOME})
      set(BUILD_ROOT_CACHE "$ENV{XDG_CACHE_HOME}/sphere")
    else()
      set(BUILD_ROOT_CACHE "$ENV{HOME}/.cache/sphere")
    endif()
  endif()
endmacro()

# Stops, saying what is missing, unless this host can make and enter a root.
function(sphere_check_build_root_host)
  set(missing "")
  foreach(program IN ITEMS mmdebstrap unshare)
    find_program(found_${program} ${program} NO_CACHE)
    if(NOT found_${program})
      list(APPEND missing ${program})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing " and " missing)
    message(FATAL_ERROR "No release here: it is made in a build root, which needs ${missing} "
                        "(Debian and Ubuntu: apt-get install mmdebstrap uidmap; Fedora: dnf install mmdebstrap)")
  endif()
  build_root_unshare(unshare)
  execute_process(COMMAND ${unshare} true RESULT_VARIABLE status ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    string(STRIP "${error}" error)
    list(JOIN unshare " " unshare)
    message(
      FATAL_ERROR
        "No release here: the build root needs root, or unprivileged user namespaces "
        "that map this user's subordinate ids (newuidmap from uidmap, and this user's lines in "
        "/etc/subuid and /etc/subgid); `${unshare} true` failed: ${error}")
  endif()
endfunction()

# Makes the root of PACKAGES, or finds the one made before, and sets VARIABLE
# to its tarball. Where mmdebstrap fails, stops with what apt said: each
# package at a version the mirror lacks is named by a line "E: Version ...".
function(sphere_make_build_root)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "VARIABLE;MIRROR_DATE" "PACKAGES")
  set(packages ${arg_PACKAGES})
  list(SORT packages)
  list(REMOVE_DUPLICATES packages)
  # Where no version is given, the root is of the mirror as its Release file
  # stands today.
  set(date "")
  file(MAKE_DIRECTORY "${BUILD_ROOT_CACHE}")
  if(NOT packages MATCHES "=")
    set(release "${BUILD_ROOT_CACHE}/InRelease")
    file(DOWNLOAD "${MIRROR}/dists/${SUITE}/InRelease" "${release}" STATUS status)
    list(GET status 0 status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "Cannot read ${MIRROR}/dists/${SUITE}/InRelease: ${status}")
    endif()
    file(STRINGS "${release}" date REGEX "^Date: ")
  endif()
  list(JOIN packages "," included)
  string(SHA256 key "${SUITE} ${MIRROR} ${included} ${date}")
  string(SUBSTRING "${key}" 0 16 key)
  # A release's root and a rebuild's, of the versions it names, are kept apart.
  set(kind root)
  if(packages MATCHES "=")
    set(kind rebuild-root)
  endif()
  set(tarball "${BUILD_ROOT_CACHE}/${kind}-${SUITE}-${key}.tar")
  if(EXISTS "${tarball}")
    message(STATUS "The build root: ${tarball}, made before of the same packages")
  else()
    message(STATUS "Making the build root, ${SUITE} from ${MIRROR}, into ${tarball}")
    # Wine's 32-bit DLLs, which the 32-bit Windows program's tests load, are
    # of the i386 side of the archive. The indexes stay: the record reads
    # the date of the Release file. A snapshot's Release file, and now and
    # then unstable's, is past its Valid-Until date.
    set(unexpired [[--aptopt=Acquire::Check-Valid-Until "false"]])
    set(include "")
    if(included)
      set(include --include=${included})
    endif()
    execute_process(
      COMMAND mmdebstrap --variant=minbase --architectures=amd64,i386 --skip=cleanup/apt/lists ${unexpired} ${include}
              --format=tar ${SUITE} "${tarball}.new" ${MIRROR} RESULT_VARIABLE status OUTPUT_VARIABLE error
      ERROR_VARIABLE error)
    if(NOT status EQUAL 0)
      file(REMOVE "${tarball}.new")
      string(REGEX MATCHALL "E: Version '[^']+' for '[^']+' was not found" lacking "${error}")
      if(lacking)
        list(TRANSFORM lacking REPLACE "E: Version '([^']+)' for '([^']+)' was not found" "\\2 \\1")
        list(JOIN lacking "\n  " lacking)
        set(snapshot "http://snapshot.debian.org/archive/debian/<YYYYMMDDThhmmssZ>")
        if(arg_MIRROR_DATE)
          include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../in_root/build_record.cmake)
          sphere_snapshot_mirror("${arg_MIRROR_DATE}" snapshot)
        endif()
        message(FATAL_ERROR "${MIRROR} no longer has these packages at these versions:\n  ${lacking}\n"
                            "A snapshot of the archive as of the recorded date has them: -D MIRROR=${snapshot}")
      endif()
      string(REGEX MATCHALL "(^|\n)E: [^\n]*" error "${error}")
      message(FATAL_ERROR "mmdebstrap could not make the build root:${error}")
    endif()
    # One root of each kind is kept: the one made before it goes.
    file(GLOB older "${BUILD_ROOT_CACHE}/${kind}-${SUITE}-*.tar")
    if(older)
      file(REMOVE ${older})
    endif()
    file(RENAME "${tarball}.new" "${tarball}")
  endif()
  set(${arg_VARIABLE} "${tarball}" PARENT_SCOPE)
endfunction()

# Run as a script, makes the root of the packages given (comma-separated; of
# the minimal system alone where none are), or finds the one made before, and
# prints its tarball last; CI makes its roots of other Debian releases so:
#
#   cmake -D SUITE=<suite> [-D PACKAGES=<package>,...] [-D MIRROR=<archive>]
#         [-D BUILD_ROOT_CACHE=<folder>] -P release/host/build_root.cmake
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  sphere_build_root_settings()
  sphere_check_build_root_host()
  string(REPLACE "," ";" PACKAGES "${PACKAGES}")
  sphere_make_build_root(PACKAGES ${PACKAGES} VARIABLE root)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${root}")
endif()
