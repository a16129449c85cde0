# Rebuilds a published release from its source archive, in a build root of the
# recorded packages at their recorded versions, and compares every file:
#
#   cmake -D RELEASE=<folder> [-D PUBLIC_KEY=<file>] [-D WINDOWS_CA=<file>]
#         [-D MIRROR=<archive>] [-D WORK=<folder>] [-D BUILD_ROOT_CACHE=<folder>]
#         -P cmake/rebuild.cmake
#
# RELEASE is the release as published: its SHA256SUMS, its record (the
# .buildinfo file, build_record.cmake) and its source archive, and the files
# to compare. The root is of the recorded suite, from the recorded mirror, or
# from MIRROR: where the mirror no longer has a recorded version, nothing is
# built, and a snapshot of the archive as of the recorded date has them. The
# sources are the published source archive's, built as of the recorded
# SOURCE_DATE_EPOCH, by the release code they hold (make_release.cmake), into
# WORK (build/rebuild by default), where a rebuild of the same inputs is kept
# and compared again.
#
# No key is needed. A signed file is compared on what its signature covers:
# the rebuild takes the published signature wherever what it signs is made
# identically (signing.cmake, cpack/sign_windows_programs.cmake), so every file but
# the signatures themselves must come out byte for byte the same. Given the
# publisher's OpenPGP key (PUBLIC_KEY) and, for the Windows programs, the
# certificate authority that issued their certificate (WINDOWS_CA), each
# signature is verified too (verify_signatures.sh).
#
# Ends with a table of every file: identical, or how it differs; exits 0 only
# where all are identical and every signature checked is good.
cmake_minimum_required(VERSION 3.25)
get_filename_component(checker "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
include(${checker}/build_root.cmake)
include(${checker}/build_record.cmake)
include(${checker}/table.cmake)
if(NOT RELEASE)
  message(FATAL_ERROR "Which release? cmake -D RELEASE=<folder> -P cmake/rebuild.cmake")
endif()
get_filename_component(RELEASE "${RELEASE}" ABSOLUTE)
file(GLOB record "${RELEASE}/*.buildinfo")
list(LENGTH record count)
if(NOT EXISTS "${RELEASE}/SHA256SUMS" OR NOT count EQUAL 1)
  message(FATAL_ERROR "${RELEASE} is not a release: it needs SHA256SUMS and one record, *.buildinfo")
endif()
sphere_read_build_record("${record}" recorded)
set(archive "${RELEASE}/sphere-${recorded_Version}.tar.gz")
if(NOT EXISTS "${archive}")
  message(FATAL_ERROR "${RELEASE} has no source archive, sphere-${recorded_Version}.tar.gz")
endif()
set(SUITE ${recorded_Build_Suite})
if(NOT MIRROR)
  set(MIRROR ${recorded_Build_Mirror})
endif()
sphere_build_root_settings()
if(NOT WORK)
  set(WORK "${checker}/../build/rebuild")
endif()
get_filename_component(WORK "${WORK}" ABSOLUTE)
message(STATUS "Rebuilding sphere ${recorded_Version}, commit ${recorded_Commit}, as of "
               "${recorded_Source_Date_Epoch}, in a root of ${SUITE} from ${MIRROR}")

# Sets <variable> to the root of the recorded packages, each at its version,
# the native and "all" ones named as apt names them, by name alone.
function(recorded_root variable)
  sphere_check_build_root_host()
  set(packages ${recorded_Build_Environment})
  list(TRANSFORM packages REPLACE ":(all|${recorded_Build_Architecture})=" "=")
  sphere_make_build_root(PACKAGES ${packages} VARIABLE root)
  set(${variable} "${root}" PARENT_SCOPE)
endfunction()

# The rebuild's inputs: the record, the source archive, and the packages whose
# signatures it takes. Where WORK holds a rebuild of the same, it is kept.
set(inputs "")
file(GLOB signed "${RELEASE}/*.rpm" "${RELEASE}/*.zip")
foreach(file IN LISTS record archive signed)
  file(SHA256 "${file}" sum)
  string(APPEND inputs "${sum}\n")
endforeach()
string(SHA256 inputs "${inputs}")
set(rebuilt "${WORK}/sphere-${recorded_Version}/dist")
set(stamp "${WORK}/inputs")
set(kept "")
if(EXISTS "${stamp}" AND EXISTS "${rebuilt}")
  file(READ "${stamp}" kept)
endif()
if(kept STREQUAL inputs)
  message(STATUS "${WORK} holds a rebuild of the same inputs: comparing it again")
else()
  recorded_root(root)

  file(REMOVE_RECURSE "${WORK}")
  file(MAKE_DIRECTORY "${WORK}")
  file(ARCHIVE_EXTRACT INPUT "${archive}" DESTINATION "${WORK}")
  # A rebuild checks the bytes that the recorded root makes; where this
  # machine cannot run a target's programs, it goes on without their tests.
  list(JOIN SPHERE_TARGETS "," untested)
  set(environment SOURCE_DATE_EPOCH=${recorded_Source_Date_Epoch})
  if(DEFINED ENV{CI})
    list(APPEND environment CI=$ENV{CI})
  endif()
  sphere_run_in_build_root(
    TARBALL "${root}"
    BIND "${WORK}/sphere-${recorded_Version}=/sphere" "${RELEASE}=/published:ro"
    COMMAND ${environment} cmake -D SOURCE_ARCHIVE=/published/sphere-${recorded_Version}.tar.gz -D
            COMMIT=${recorded_Commit} -D SIGNATURES_FROM=/published -D ALLOW_UNTESTED=${untested} -P
            /sphere/cmake/make_release.cmake)
  file(WRITE "${stamp}" "${inputs}")
endif()

# Each signature verified, where the keys to verify it with are given.
set(verdicts "")
if(PUBLIC_KEY)
  get_filename_component(PUBLIC_KEY "${PUBLIC_KEY}" ABSOLUTE)
  set(binds "${RELEASE}=/published:ro" "${PUBLIC_KEY}=/run/sphere/public-key.asc:ro"
            "${checker}/verify_signatures.sh=/run/sphere/verify_signatures.sh:ro" "${WORK}=/run/sphere/work")
  set(authority "")
  if(WINDOWS_CA)
    get_filename_component(WINDOWS_CA "${WINDOWS_CA}" ABSOLUTE)
    list(APPEND binds "${WINDOWS_CA}=/run/sphere/windows-ca.pem:ro")
    set(authority /run/sphere/windows-ca.pem)
  endif()
  if(NOT root)
    recorded_root(root)
  endif()
  sphere_run_in_build_root(
    TARBALL "${root}"
    BIND ${binds}
    COMMAND
      sh -c
      "sh /run/sphere/verify_signatures.sh /published /run/sphere/public-key.asc ${authority} >/run/sphere/work/verdicts"
  )
  file(STRINGS "${WORK}/verdicts" verdicts)
endif()

# The record names the mirror and the date of its Release file, which a
# rebuild from another mirror, such as a snapshot, may give otherwise for the
# same packages: the record is compared but for them, and SHA256SUMS but for
# the record's line.
function(read_without_mirror file variable)
  file(READ "${file}" content)
  string(REGEX REPLACE "\nBuild-Mirror(-Date)?: [^\n]*" "" content "${content}")
  set(${variable} "${content}" PARENT_SCOPE)
endfunction()
get_filename_component(record_name "${record}" NAME)
file(SHA256 "${record}" record_sum)
set(mirror_only FALSE)
if(EXISTS "${rebuilt}/${record_name}")
  read_without_mirror("${record}" theirs)
  read_without_mirror("${rebuilt}/${record_name}" ours)
  file(SHA256 "${rebuilt}/${record_name}" rebuilt_record_sum)
  if(theirs STREQUAL ours AND NOT record_sum STREQUAL rebuilt_record_sum)
    set(mirror_only TRUE)
  endif()
endif()

file(GLOB_RECURSE published LIST_DIRECTORIES false RELATIVE "${RELEASE}" "${RELEASE}/*")
file(GLOB_RECURSE made LIST_DIRECTORIES false RELATIVE "${rebuilt}" "${rebuilt}/*")
set(names ${published} ${made})
list(REMOVE_DUPLICATES names)
list(SORT names)
set(cells "")
set(failed 0)
foreach(name IN LISTS names)
  set(verdict identical)
  if(NOT EXISTS "${rebuilt}/${name}")
    set(verdict "not made by the rebuild")
  elseif(NOT EXISTS "${RELEASE}/${name}")
    set(verdict "made by the rebuild, not in the release")
  elseif(name MATCHES "\\.(asc|gpg)$|(^|/)InRelease$")
    set(verdict "a signature, taken from the release")
  elseif(name STREQUAL record_name)
    if(mirror_only)
      set(verdict "identical but for the mirror and its date")
    elseif(NOT record_sum STREQUAL rebuilt_record_sum)
      sphere_build_record_differences("${record}" "${rebuilt}/${name}" differences)
      set(verdict "different: ${differences}")
    endif()
  else()
    file(SHA256 "${RELEASE}/${name}" theirs)
    file(SHA256 "${rebuilt}/${name}" ours)
    if(name STREQUAL "SHA256SUMS" AND mirror_only)
      file(READ "${rebuilt}/${name}" content)
      string(REPLACE "${rebuilt_record_sum}  ${record_name}" "@RECORD@  ${record_name}" content "${content}")
      string(SHA256 ours "${content}")
      file(READ "${RELEASE}/${name}" content)
      string(REPLACE "${record_sum}  ${record_name}" "@RECORD@  ${record_name}" content "${content}")
      string(SHA256 theirs "${content}")
    endif()
    if(NOT theirs STREQUAL ours)
      set(verdict different)
    endif()
  endif()
  # Where a signature was verified, its verdict goes beside the file's.
  foreach(line IN LISTS verdicts)
    string(FIND "${line}" "${name}: " at)
    if(at EQUAL 0)
      string(LENGTH "${name}: " length)
      string(SUBSTRING "${line}" ${length} -1 checked)
      if(verdict MATCHES "^a signature")
        set(verdict "a signature from the release: ${checked}")
      else()
        set(verdict "${verdict}, and its signature: ${checked}")
      endif()
      if(NOT checked MATCHES "^good")
        set(failed 1)
      endif()
    endif()
  endforeach()
  if(NOT verdict MATCHES "^(identical|a signature)")
    set(failed 1)
  endif()
  # A semicolon would part the row in two.
  string(REPLACE ";" "," verdict "${verdict}")
  list(APPEND cells "${name}" "${verdict}")
endforeach()
set(table "Each file of ${RELEASE}, as rebuilt:")
sphere_table(table 2 cells)
message(STATUS "${table}")
if(NOT PUBLIC_KEY)
  message(STATUS "No signature verified: PUBLIC_KEY names the publisher's OpenPGP key.")
endif()
if(failed)
  message(FATAL_ERROR "The rebuild of ${RELEASE} is not identical to it: see the table above")
endif()
message(STATUS "Every file of ${RELEASE} is what its source archive and its record make.")
