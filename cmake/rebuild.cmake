# Rebuilds a published release from this clone, in a build root of the
# recorded packages at their recorded versions, and compares every file:
#
#   cmake -D RELEASE=<folder> [-D TARGETS=<target>[;<target>...]]
#         [-D PUBLIC_KEY=<file>] [-D WINDOWS_CA=<file>] [-D MIRROR=<archive>]
#         [-D WORK=<folder>] [-D BUILD_ROOT_CACHE=<folder>] -P cmake/rebuild.cmake
#
# (cmake/rebuild.sh runs it so, and tells a rebuild that could not run from
# one that found a difference by its exit status.)
#
# RELEASE is the release as published. Its record (the .buildinfo file,
# build_record.cmake) names the commit, the time and the build root; its
# other files are only read, never run nor built from. The commit must be in
# this clone. In the root, the root's git checks it out of this clone, and
# that commit's own release stages (release/in_root/release_stages.cmake, or
# cmake/make_release.cmake before it) release it as of the recorded
# SOURCE_DATE_EPOCH, with no network, into WORK (build/rebuild by default),
# where a rebuild of the same inputs is kept and compared again. So the
# source archive is made again from the commit too, and compared. TARGETS
# rebuilds those targets alone: every file of the others is "not rebuilt",
# and SHA256SUMS is compared on the lines of the files that were.
#
# The root is of the recorded suite, from the recorded mirror, or from
# MIRROR: where the mirror no longer has a recorded version, nothing is
# built, and the snapshot of the archive as of the recorded date, which the
# message names, has them.
#
# No key is needed. A signed file is compared on what its signature covers:
# the rebuild takes the published signature wherever what it signs is made
# identically (signing.cmake, signed_content.cmake), so every file but the
# signatures themselves must come out byte for byte the same. Given the
# publisher's OpenPGP key (PUBLIC_KEY) and, for the Windows programs, the
# certificate authority that issued their certificate (WINDOWS_CA), each
# signature is verified too (verify_signatures.sh, this clone's).
#
# Every file is compared, whatever differs before it. The table at the end
# says of each whether it is identical or how it differs, with diffoscope's
# report where diffoscope is installed; WORK/rebuild.json says it for
# machines (doc/releasing.md). Exits 0 only where every file compared is
# identical and every signature checked good.
cmake_minimum_required(VERSION 3.25)
get_filename_component(checker "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
include(${checker}/release/host/build_root.cmake)
include(${checker}/release/host/enter_build_root.cmake)
include(${checker}/release/in_root/build_record.cmake)
include(${checker}/cmake/table.cmake)
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
set(commit ${recorded_Commit})
set(SUITE ${recorded_Build_Suite})
if(NOT MIRROR)
  set(MIRROR ${recorded_Build_Mirror})
endif()
sphere_build_root_settings()
if(NOT WORK)
  set(WORK "${checker}/build/rebuild")
endif()
get_filename_component(WORK "${WORK}" ABSOLUTE)
if(TARGETS)
  sphere_chosen_targets(TARGETS "${TARGETS}")
endif()

# The commit must be in this clone: its code is what is trusted.
execute_process(COMMAND git -C "${checker}" cat-file -e "${commit}^{commit}" OUTPUT_QUIET ERROR_QUIET
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  execute_process(COMMAND git -C "${checker}" remote ERROR_QUIET OUTPUT_VARIABLE remote)
  string(REGEX REPLACE "\n.*" "" remote "${remote}")
  if(NOT remote)
    set(remote "<the project's repository>")
  endif()
  message(FATAL_ERROR "${RELEASE} is of commit ${commit}, which this clone, ${checker}, does not have. "
                      "Bring it, then rebuild again: git -C ${checker} fetch ${remote} ${commit}")
endif()
execute_process(COMMAND git -C "${checker}" rev-parse --path-format=absolute --git-common-dir OUTPUT_VARIABLE repository
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
if(TARGETS)
  message(STATUS "Rebuilding ${TARGETS} of sphere ${recorded_Version}, commit ${commit}")
else()
  message(STATUS "Rebuilding sphere ${recorded_Version}, commit ${commit}")
endif()
message(STATUS "as of ${recorded_Source_Date_Epoch}, in a root of ${SUITE} from ${MIRROR}")

# Sets <variable> to the root of the recorded packages, each at its version,
# the native and "all" ones named as apt names them, by name alone.
function(recorded_root variable)
  sphere_check_build_root_host()
  set(packages ${recorded_Build_Environment})
  list(TRANSFORM packages REPLACE ":(all|${recorded_Build_Architecture})=" "=")
  sphere_make_build_root(PACKAGES ${packages} VARIABLE root MIRROR_DATE "${recorded_Build_Mirror_Date}")
  set(${variable} "${root}" PARENT_SCOPE)
endfunction()

# The rebuild's inputs: the record, the targets, and the packages whose
# signatures it takes. Where WORK holds a rebuild of the same, it is kept.
set(inputs "${TARGETS}\n")
file(GLOB signed "${RELEASE}/*.rpm" "${RELEASE}/*.zip")
foreach(file IN LISTS record signed)
  file(SHA256 "${file}" sum)
  string(APPEND inputs "${sum}\n")
endforeach()
string(SHA256 inputs "${inputs}")
set(rebuilt "${WORK}/sphere/dist")
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
  file(MAKE_DIRECTORY "${WORK}/sphere")
  # A rebuild checks the bytes that the recorded root makes; where this
  # machine cannot run a target's programs, it goes on without their tests.
  list(JOIN SPHERE_TARGETS "," untested)
  list(JOIN TARGETS "," targets)
  set(environment SOURCE_DATE_EPOCH=${recorded_Source_Date_Epoch})
  if(DEFINED ENV{CI})
    list(APPEND environment CI=$ENV{CI})
  endif()
  string(
    CONCAT release
           "git -c safe.directory=* clone -q --no-checkout --no-hardlinks /run/sphere/clone.git /sphere"
           " && git -C /sphere -c advice.detachedHead=false checkout -q \"$1\""
           " && stages=/sphere/release/in_root/release_stages.cmake"
           " && { [ -f $stages ] || stages=/sphere/cmake/make_release.cmake; }"
           " && exec cmake -D SIGNATURES_FROM=/published -D ALLOW_UNTESTED=\"$2\" -D TARGETS=\"$3\""
           " -D DIST=/sphere/dist -P $stages")
  sphere_run_in_build_root(
    TARBALL "${root}" BIND "${repository}=/run/sphere/clone.git:ro" "${WORK}/sphere=/sphere" "${RELEASE}=/published:ro"
    COMMAND ${environment} sh -c "${release}" sh ${commit} "${untested}" "${targets}")
  file(WRITE "${stamp}" "${inputs}")
endif()

# Each signature verified, where the keys to verify it with are given: a bad
# one is a verdict (exit status 1), as good ones are.
set(verdicts "")
if(PUBLIC_KEY)
  get_filename_component(PUBLIC_KEY "${PUBLIC_KEY}" ABSOLUTE)
  set(binds
      "${RELEASE}=/published:ro" "${PUBLIC_KEY}=/run/sphere/public-key.asc:ro"
      "${checker}/release/in_root/verify_signatures.sh=/run/sphere/verify_signatures.sh:ro" "${WORK}=/run/sphere/work")
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
      "sh /run/sphere/verify_signatures.sh /published /run/sphere/public-key.asc ${authority} >/run/sphere/work/verdicts || [ $? -eq 1 ]"
  )
  file(STRINGS "${WORK}/verdicts" verdicts)
endif()

include(${checker}/release/host/compare_rebuild.cmake)
sphere_compare_rebuild(RELEASE "${RELEASE}" REBUILT "${rebuilt}" RECORD "${record}" WORK "${WORK}" PARTIAL ${TARGETS}
                       VERDICTS ${verdicts} FAILED failed)
if(NOT PUBLIC_KEY)
  message(STATUS "No signature verified: PUBLIC_KEY names the publisher's OpenPGP key.")
endif()
# A rebuild that got this far has compared: cmake/rebuild.sh tells it so by
# the file it names.
if(DEFINED ENV{SPHERE_REBUILD_COMPARED})
  file(WRITE "$ENV{SPHERE_REBUILD_COMPARED}" "compared\n")
endif()
if(failed)
  message(FATAL_ERROR "The rebuild of ${RELEASE} is not identical to it: see the table above, or ${WORK}/rebuild.json")
endif()
if(TARGETS)
  message(STATUS "Every file of ${TARGETS} in ${RELEASE} is what commit ${commit} and its record make.")
else()
  message(STATUS "Every file of ${RELEASE} is what commit ${commit} and its record make.")
endif()
