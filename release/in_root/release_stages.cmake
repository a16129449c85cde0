# The release itself, as cmake/release.cmake runs it in the build root, with
# the sources at /sphere: builds and tests the program for every target in
# targets.cmake and packages it, makes the source archive and checks that it
# builds and passes its tests on its own, signs what is to be signed, and
# writes all of it to a fresh DIST (dist/ in the sources by default), with the
# bill of materials, the record of the build root and SHA256SUMS beside them.
#
#   cmake <cmake/release.cmake's options, the files as mounted in the root>
#         [-D SIGNATURES_FROM=<folder>] [-D TARGETS=<target>[,<target>...]]
#         [-D DIST=<folder>] -P release/in_root/release_stages.cmake
#
# The keys are the publisher's, as cmake/release.cmake says: its GnuPG is
# the root's ~/.gnupg, and the Authenticode files are mounted in /run/sphere/. A
# rebuild (rebuild.cmake) of a signed release gives instead SIGNATURES_FROM,
# the published release, whose signatures it takes for each file whose signed
# content it makes identically (published_signatures.cmake); and may ask
# for some targets alone (TARGETS). Their files, the source archive, the record and SHA256SUMS are then made,
# but not what speaks for every target: the bill of materials, the apt and
# RPM repositories and the signature of SHA256SUMS.
#
# The same commit gives the same bytes in the same build root, wherever,
# whenever and by whomever it is released: every time stamp is
# SOURCE_DATE_EPOCH (the last commit's time where it is not set), and the
# builds run under one umask, time zone and locale.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
include(${source}/cmake/run_command.cmake)
include(${source}/cmake/table.cmake)
include(${source}/cmake/targets.cmake)
include(${source}/cmake/project_facts.cmake)
if(DIST)
  set(dist "${DIST}")
else()
  set(dist "${source}/dist")
endif()
set(name sphere-${SPHERE_VERSION})

# ---- Check first: the root, the sources and the keys, before anything is built

# The Linux programs keep a floor, the oldest glibc they run on
# (SPHERE_GLIBC_FLOOR, project_facts.cmake), which only a build root whose glibc
# is older than 2.38 can keep: from 2.38 on, glibc's headers turn strtoul and
# its kin into __isoc23_* names, which GCC's C++ library, compiled against
# them and linked into the programs, then calls. Each Debian release's cross
# toolchains have its own glibc, so the root's tells.
function(check_build_root)
  sphere_run(getconf GNU_LIBC_VERSION OUTPUT glibc)
  string(REGEX REPLACE "^glibc " "" glibc "${glibc}")
  if(glibc VERSION_GREATER_EQUAL 2.38)
    message(
      FATAL_ERROR
        "No release in this build root: its glibc is ${glibc}. From glibc 2.38 on, "
        "strtoul and its kin become __isoc23_* names in GCC's C++ library, which the Linux programs "
        "hold, and they would need glibc 2.38, above their floor, glibc ${SPHERE_GLIBC_FLOOR}. A release "
        "is made in a root whose glibc is ${SPHERE_GLIBC_FLOOR} to 2.37: SUITE=bookworm.")
  endif()
endfunction()

# A release is made of a commit, which the source archive holds: uncommitted
# changes to tracked files stop it. Sets COMMIT, and SOURCE_DATE_EPOCH where
# it is not set, to the commit's time; a rebuild gives the recorded time.
function(check_sources)
  set(git git -c safe.directory=*)
  execute_process(COMMAND ${git} update-index -q --refresh WORKING_DIRECTORY "${source}" OUTPUT_QUIET)
  sphere_run(${git} status --porcelain --untracked-files=no IN "${source}" OUTPUT changes)
  if(changes)
    message(FATAL_ERROR "Commit these changes first; a release is made of a commit:\n${changes}")
  endif()
  sphere_run(${git} rev-parse HEAD IN "${source}" OUTPUT commit)
  set(COMMIT ${commit} PARENT_SCOPE)
  if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    sphere_run(${git} log -1 --format=%ct IN "${source}" OUTPUT epoch)
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
  endif()
endfunction()

# Stops unless the keys given can sign: the OpenPGP key is in the
# publisher's GnuPG, and the Authenticode certificate and key are both given,
# can be read and match. Sets AUTHENTICODE_SIGNER to what signs the Windows
# programs with them.
function(check_keys)
  if(OPENPGP_KEY)
    execute_process(COMMAND gpg --batch --list-secret-keys "${OPENPGP_KEY}" OUTPUT_QUIET ERROR_QUIET
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "The publisher's GnuPG has no secret key ${OPENPGP_KEY} to sign with")
    endif()
  endif()
  if(NOT WINDOWS_CERT_FILE AND NOT WINDOWS_KEY_FILE)
    return()
  elseif(NOT WINDOWS_CERT_FILE OR NOT WINDOWS_KEY_FILE)
    message(FATAL_ERROR "Authenticode takes both WINDOWS_CERT_FILE and WINDOWS_KEY_FILE")
  endif()
  include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/authenticode_key.cmake)
  sphere_check_authenticode(CERT "${WINDOWS_CERT_FILE}" KEY "${WINDOWS_KEY_FILE}" SIGNER signer)
  set(AUTHENTICODE_SIGNER "${signer}" PARENT_SCOPE)
endfunction()

# ---- Build and test each target

# Sets <variable> to how many tests of <label> <target>'s workflow ran, as
# ctest counts them (less the fixtures, such as Wine's start and stop).
function(tests_run target label variable)
  sphere_run(ctest --test-dir "${source}/build/${target}" -N -L "^${label}$" -FA ".*" OUTPUT listing)
  string(REGEX MATCH "Total Tests: ([0-9]+)" total "${listing}")
  set(${variable} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

# Builds and tests <target> with its workflow, and sets cases_<target> and
# units_<target> to the end-to-end cases and unit tests it ran. A target none
# of whose cases ran, its emulator unable to run here, stops the release unless
# ALLOW_UNTESTED names it; reason_<target> then says why, as the target's
# toolchain found it and kept it in the build's cache.
function(build_and_test target)
  message(STATUS "Building and testing ${target}")
  sphere_run(cmake --workflow --preset ${target} --fresh IN "${source}")
  tests_run(${target} e2e cases)
  tests_run(${target} unit units)
  set(cases_${target} ${cases} PARENT_SCOPE)
  set(units_${target} ${units} PARENT_SCOPE)
  if(NOT cases EQUAL 0)
    return()
  endif()
  load_cache("${source}/build/${target}" READ_WITH_PREFIX "" SPHERE_EMULATOR_UNUSABLE)
  set(reason "${SPHERE_EMULATOR_UNUSABLE}")
  if(NOT reason)
    set(reason "no end-to-end case ran")
  endif()
  if(NOT target IN_LIST ALLOW_UNTESTED)
    list(JOIN SPHERE_TARGET_${target}_packages " " packages)
    message(
      FATAL_ERROR
        "${target}'s programs could not run here: ${reason} (its emulator: "
        "${SPHERE_TARGET_${target}_emulator}, Debian: ${packages}). "
        "-D ALLOW_UNTESTED=${target} packages it untested.")
  endif()
  set(reason_${target} "${reason}" PARENT_SCOPE)
endfunction()

# Packs <target>'s build into build/<target>/packages/ and copies what it
# made into dist/. The Windows programs are signed as cpack packs them, with
# the certificate and key given (cpack/sign_windows_programs.cmake); a rebuild
# gives instead the published program (published_signatures.cmake), which is
# taken, signature and all, where it is this one in every byte the signature
# covers.
function(package target)
  set(packages "${source}/build/${target}/packages")
  file(REMOVE_RECURSE "${packages}")
  set(signing "")
  if(WINDOWS_CERT_FILE)
    foreach(setting IN ITEMS "CERT=${WINDOWS_CERT_FILE}" "KEY=${WINDOWS_KEY_FILE}" "URL=${WINDOWS_PUBLISHER_URL}"
                             "TIMESTAMP_URL=${WINDOWS_TIMESTAMP_URL}")
      list(APPEND signing -D "CPACK_SPHERE_AUTHENTICODE_${setting}")
    endforeach()
  endif()
  if(PUBLISHED_PROGRAM_${target})
    list(APPEND signing -D "CPACK_SPHERE_AUTHENTICODE_SIGNED=${PUBLISHED_PROGRAM_${target}}")
  endif()
  sphere_run(cpack --config "${source}/build/${target}/CPackConfig.cmake" -B "${packages}" ${signing})
  file(GLOB made LIST_DIRECTORIES false "${packages}/*")
  file(COPY ${made} DESTINATION "${dist}")
endfunction()

# Sets <variable> to each file that the targets' packages made, as
# <target>=<file>, for the bill of materials.
function(files_made variable)
  set(made "")
  foreach(target IN LISTS TARGETS)
    file(GLOB files LIST_DIRECTORIES false RELATIVE "${source}/build/${target}/packages"
         "${source}/build/${target}/packages/*")
    list(SORT files)
    list(TRANSFORM files PREPEND "${target}=")
    list(APPEND made ${files})
  endforeach()
  set(${variable} ${made} PARENT_SCOPE)
endfunction()

# ---- The source archive

# The commit's files under sphere-<version>/, as git stores them whatever the
# local settings, each dated at the commit. It must build and pass its tests
# on its own, as a distribution builds it: unpacked in a scratch folder, with
# no repository around it; a rebuild of some targets alone leaves that out.
function(make_source_archive)
  message(STATUS "Making and checking ${name}.tar.gz")
  string(CONCAT archive "git -c safe.directory=* -c tar.umask=022 -c core.autocrlf=false archive --format=tar"
                " --prefix=${name}/ HEAD | gzip -9 -n > \"$1\"")
  sphere_run(sh -c "${archive}" sh "${dist}/${name}.tar.gz" IN "${source}")
  if(NOT WHOLE)
    return()
  endif()
  set(scratch "${source}/build/distcheck")
  file(REMOVE_RECURSE "${scratch}")
  file(MAKE_DIRECTORY "${scratch}")
  file(ARCHIVE_EXTRACT INPUT "${dist}/${name}.tar.gz" DESTINATION "${scratch}")
  set(ENV{GIT_CEILING_DIRECTORIES} "${scratch}")
  sphere_run(cmake --workflow --preset test IN "${scratch}/${name}")
  unset(ENV{GIT_CEILING_DIRECTORIES})
endfunction()

# ---- Sign

# Sets SIGNING to how signing.cmake signs: with the publisher's key, or, in a
# rebuild of a signed release, by taking the published signatures of what it
# makes alike.
function(choose_signing)
  if(OPENPGP_KEY)
    set(SIGNING KEY ${OPENPGP_KEY} PARENT_SCOPE)
  elseif(SIGNATURES_FROM AND EXISTS "${SIGNATURES_FROM}/SHA256SUMS.asc")
    set(SIGNING SIGNATURES_FROM "${SIGNATURES_FROM}" PARENT_SCOPE)
  endif()
endfunction()

# ---- The bill of materials, the record and SHA256SUMS

# Writes SHA256SUMS over every file in dist/, and sets MADE to their names.
function(write_sums)
  file(GLOB made RELATIVE "${dist}" "${dist}/*")
  list(SORT made)
  set(sums "")
  foreach(file IN LISTS made)
    file(SHA256 "${dist}/${file}" sum)
    string(APPEND sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE "${dist}/SHA256SUMS" "${sums}")
  set(MADE ${made} PARENT_SCOPE)
endfunction()

# ---- The closing table

# Says what dist/ holds, what is signed and by whom, and what ran for each
# target; what ran its programs comes last, since why nothing could is a
# sentence.
function(print_closing_table)
  list(JOIN MADE "\n  " made)
  if(SIGNING AND NOT WHOLE)
    set(signed "\nEach RPM package signed as ${SIGNATURES_FROM}'s is; some targets alone make no repositories "
               "nor SHA256SUMS.asc.")
  elseif(SIGNING)
    set(signed
        "\n  SHA256SUMS.asc\n  debian/, rpm/: the apt and RPM repositories\nSigned, SHA256SUMS and each RPM package, ")
    if(OPENPGP_KEY)
      string(APPEND signed "with ${OPENPGP_KEY}.")
    else()
      string(APPEND signed "as ${SIGNATURES_FROM} is, with its signatures.")
    endif()
  else()
    set(signed
        "\nUnsigned: without OPENPGP_KEY, no RPM package nor SHA256SUMS is signed, and there are no repositories.")
  endif()
  if(AUTHENTICODE_SIGNER)
    string(APPEND signed "\nThe Windows programs are Authenticode-signed, by ${AUTHENTICODE_SIGNER}.")
  else()
    string(APPEND signed "\nThe Windows programs are unsigned: without WINDOWS_CERT_FILE and WINDOWS_KEY_FILE,"
           " they carry no Authenticode signature.")
  endif()
  message(STATUS "Released into ${dist}:\n  ${made}\n  SHA256SUMS${signed}")

  set(cells target "end-to-end cases" "unit tests" "its programs ran under")
  set(untested "")
  foreach(target IN LISTS TARGETS)
    get_filename_component(emulator "${SPHERE_TARGET_${target}_emulator}" NAME)
    if(DEFINED reason_${target})
      set(emulator "nothing: ${reason_${target}}")
      list(APPEND untested ${target})
    elseif(NOT emulator)
      set(emulator "the host")
    endif()
    list(APPEND cells ${target} "${cases_${target}}" "${units_${target}}" "${emulator}")
  endforeach()
  set(table "What ran for each target:")
  sphere_table(table 4 cells)
  message(STATUS "${table}")
  if(untested)
    message(WARNING "Packaged untested, as ALLOW_UNTESTED allows: ${untested}")
  endif()
endfunction()

# ---- The release

check_build_root()
check_sources()
check_keys()
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C)
string(REPLACE "," ";" ALLOW_UNTESTED "${ALLOW_UNTESTED}")
sphere_chosen_targets(TARGETS "${TARGETS}")
set(WHOLE FALSE)
if(TARGETS STREQUAL SPHERE_TARGETS)
  set(WHOLE TRUE)
endif()
file(REMOVE_RECURSE "${dist}")
file(MAKE_DIRECTORY "${dist}")

# A rebuild's Windows programs are signed where the published ones are, and
# as theirs were.
include(${CMAKE_CURRENT_LIST_DIR}/published_signatures.cmake)
set(published_programs "")
foreach(target IN LISTS TARGETS)
  sphere_published_program("${SIGNATURES_FROM}" ${target} PUBLISHED_PROGRAM_${target})
  list(APPEND published_programs ${PUBLISHED_PROGRAM_${target}})
endforeach()
if(SIGNATURES_FROM)
  sphere_published_signer(AUTHENTICODE_SIGNER ${published_programs})
endif()

foreach(target IN LISTS TARGETS)
  build_and_test(${target})
  package(${target})
endforeach()
make_source_archive()

# The RPM packages carry their signature themselves, made before their
# checksums are taken; SHA256SUMS and the repositories are signed last.
choose_signing()
if(SIGNING)
  include(${CMAKE_CURRENT_LIST_DIR}/signing.cmake)
  sphere_sign_packages(DIST "${dist}" ${SIGNING})
endif()

# The bill of materials: every file above, what its program holds of whose
# code, under which licence; then the record of the build root, which a
# rebuild makes again.
if(WHOLE)
  include(${CMAKE_CURRENT_LIST_DIR}/sbom.cmake)
  files_made(files_made)
  sphere_write_sbom(
    OUTPUT "${dist}/${name}.cdx.json"
    VERSION ${SPHERE_VERSION}
    COMMIT ${COMMIT}
    SOURCE_ARCHIVE ${name}.tar.gz
    DIST "${dist}"
    BUILDS "${source}/build"
    FILES ${files_made}
    WINDOWS_SIGNED_WITH "${AUTHENTICODE_SIGNER}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/build_record.cmake)
sphere_write_build_record(OUTPUT "${dist}/${name}.buildinfo" VERSION ${SPHERE_VERSION} COMMIT ${COMMIT})

write_sums()
if(SIGNING AND WHOLE)
  sphere_sign_release(DIST "${dist}" ${SIGNING})
endif()
print_closing_table()
