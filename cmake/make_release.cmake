# The release itself, as cmake/release.cmake runs it in the build root, with
# the sources at /sphere: builds and tests the program for every target in
# targets.cmake and packages it, makes the source archive and checks that it
# builds and passes its tests on its own, signs what is to be signed, and
# writes all of it to a fresh dist/, with the bill of materials, the record
# of the build root and SHA256SUMS beside them.
#
#   cmake [-D OPENPGP_KEY=<fingerprint>] [-D ALLOW_UNTESTED=<targets>]
#         [-D WINDOWS_CERT_FILE=<PEM chain> -D WINDOWS_KEY_FILE=<PEM key>
#          [-D WINDOWS_PUBLISHER_URL=<the publisher's address>]
#          [-D WINDOWS_TIMESTAMP_URL=<its timestamp server>]]
#         [-D SOURCE_ARCHIVE=<file> -D COMMIT=<commit>] [-D SIGNATURES_FROM=<folder>]
#         -P cmake/make_release.cmake
#
# OPENPGP_KEY, a key of the GnuPG in ~/.gnupg, signs the RPM packages and
# SHA256SUMS and makes the signed apt and RPM repositories (signing.cmake);
# WINDOWS_CERT_FILE and WINDOWS_KEY_FILE sign the Windows programs with
# Authenticode before they are zipped (cpack/sign_windows_programs.cmake). A rebuild
# (rebuild.cmake) gives instead SOURCE_ARCHIVE, the published source archive
# these sources were unpacked from, and COMMIT, its commit; and, for a signed
# release, SIGNATURES_FROM, the published release, whose signatures it takes
# for each file whose signed content it makes identically.
#
# The same commit gives the same bytes in the same build root, wherever,
# whenever and by whomever it is released: every time stamp is
# SOURCE_DATE_EPOCH (the last commit's time where it is not set), and the
# builds run under one umask, time zone and locale.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(dist "${source}/dist")
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/project_facts.cmake)

# The Linux programs keep a floor, the oldest glibc they run on
# (SPHERE_GLIBC_FLOOR, project_facts.cmake), which only a build root whose glibc
# is older than 2.38 can keep: from 2.38 on, glibc's headers turn strtoul and
# its kin into __isoc23_* names, which GCC's C++ library, compiled against
# them and linked into the programs, then calls. Each Debian release's cross
# toolchains have its own glibc, so the root's tells, before anything is built.
execute_process(COMMAND getconf GNU_LIBC_VERSION OUTPUT_VARIABLE glibc ERROR_QUIET)
string(REGEX REPLACE "^glibc ([0-9.]+)\n?$" "\\1" glibc "${glibc}")
if(glibc VERSION_GREATER_EQUAL 2.38)
  message(FATAL_ERROR "No release in this build root: its glibc is ${glibc}. From glibc 2.38 on, "
    "strtoul and its kin become __isoc23_* names in GCC's C++ library, which the Linux programs "
    "hold, and they would need glibc 2.38, above their floor, glibc ${SPHERE_GLIBC_FLOOR}. A release "
    "is made in a root whose glibc is ${SPHERE_GLIBC_FLOOR} to 2.37: SUITE=bookworm.")
endif()

# Runs a command in the sources with the files it creates readable by all,
# whatever the caller's umask: cpack makes the packages' folders with it.
function(run)
  execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" sh ${ARGN}
    WORKING_DIRECTORY "${source}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# A release is made of a commit, which the source archive holds: uncommitted
# changes to tracked files stop it. A rebuild is made of a published source
# archive, and takes its commit from the record.
if(NOT SOURCE_ARCHIVE)
  set(git git -c safe.directory=* -C "${source}")
  execute_process(COMMAND ${git} update-index -q --refresh OUTPUT_QUIET)
  execute_process(COMMAND ${git} status --porcelain --untracked-files=no
    OUTPUT_VARIABLE changes COMMAND_ERROR_IS_FATAL ANY)
  if(changes)
    message(FATAL_ERROR "Commit these changes first; a release is made of a commit:\n${changes}")
  endif()
  execute_process(COMMAND ${git} rev-parse HEAD
    OUTPUT_VARIABLE COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND ${git} log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
  endif()
elseif(NOT COMMIT OR NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  message(FATAL_ERROR "A rebuild of ${SOURCE_ARCHIVE} needs its COMMIT and SOURCE_DATE_EPOCH")
else()
  # git archive writes the commit into the archive's first header.
  execute_process(COMMAND sh -c "gzip -dc \"$1\" | git get-tar-commit-id" sh "${SOURCE_ARCHIVE}"
    OUTPUT_VARIABLE archived OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT archived STREQUAL COMMIT)
    message(FATAL_ERROR "${SOURCE_ARCHIVE} is of commit \"${archived}\", not of the recorded ${COMMIT}")
  endif()
endif()
if(OPENPGP_KEY)
  execute_process(COMMAND gpg --batch --list-secret-keys "${OPENPGP_KEY}"
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "The publisher's GnuPG has no secret key ${OPENPGP_KEY} to sign with")
  endif()
endif()
# The Windows programs are signed as cpack packs them, with the certificate
# and key given here, which must be read and match before anything is built;
# or, in a rebuild, take the signatures of the published programs.
set(authenticode "")
if(WINDOWS_CERT_FILE OR WINDOWS_KEY_FILE)
  if(NOT WINDOWS_CERT_FILE OR NOT WINDOWS_KEY_FILE)
    message(FATAL_ERROR "Authenticode takes both WINDOWS_CERT_FILE and WINDOWS_KEY_FILE")
  endif()
  include(${CMAKE_CURRENT_LIST_DIR}/check_windows_signing_key.cmake)
  sphere_check_authenticode(CERT "${WINDOWS_CERT_FILE}" KEY "${WINDOWS_KEY_FILE}"
    SIGNER authenticode_signer)
  set(authenticode -D "CPACK_SPHERE_AUTHENTICODE_CERT=${WINDOWS_CERT_FILE}"
    -D "CPACK_SPHERE_AUTHENTICODE_KEY=${WINDOWS_KEY_FILE}"
    -D "CPACK_SPHERE_AUTHENTICODE_URL=${WINDOWS_PUBLISHER_URL}"
    -D "CPACK_SPHERE_AUTHENTICODE_TIMESTAMP_URL=${WINDOWS_TIMESTAMP_URL}")
endif()
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C)
string(REPLACE "," ";" ALLOW_UNTESTED "${ALLOW_UNTESTED}")

# What ran for each target: its programs' emulator, and how many end-to-end
# cases and unit tests its workflow ran, as ctest counts them by their labels
# (less the fixtures, such as Wine's start and stop, that they need).
function(tests_run target label variable)
  execute_process(COMMAND ctest --test-dir "${source}/build/${target}" -N -L "^${label}$" -FA ".*"
    OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "Total Tests: ([0-9]+)" total "${listing}")
  set(${variable} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

# Why a target's programs could not run: the reason its toolchain kept in the
# build's cache when it found the emulator unable to run here.
function(untested_reason target variable)
  load_cache("${source}/build/${target}" READ_WITH_PREFIX "" SPHERE_EMULATOR_UNUSABLE)
  set(reason "${SPHERE_EMULATOR_UNUSABLE}")
  if(NOT reason)
    set(reason "no end-to-end case ran")
  endif()
  set(${variable} "${reason}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${dist}")
file(MAKE_DIRECTORY "${dist}")
set(untested "")
set(files_made "")
foreach(target IN LISTS SPHERE_TARGETS)
  message(STATUS "Building and testing ${target}")
  run(cmake --workflow --preset ${target} --fresh)
  tests_run(${target} e2e cases_${target})
  tests_run(${target} unit units_${target})
  if(cases_${target} EQUAL 0)
    list(APPEND untested ${target})
    untested_reason(${target} reason_${target})
    if(NOT target IN_LIST ALLOW_UNTESTED)
      list(JOIN SPHERE_TARGET_${target}_packages " " packages)
      message(FATAL_ERROR "${target}'s programs could not run here: ${reason_${target}} (its emulator: "
        "${SPHERE_TARGET_${target}_emulator}, Debian: ${packages}). "
        "-D ALLOW_UNTESTED=${target} packages it untested.")
    endif()
  endif()
  set(packages "${source}/build/${target}/packages")
  file(REMOVE_RECURSE "${packages}")
  # A rebuild of a signed release takes each published Windows program, its
  # signature with it, where it is this one in every byte the signature covers.
  set(published_program "")
  file(GLOB zip "${SIGNATURES_FROM}/sphere-*-${target}.zip")
  if(SIGNATURES_FROM AND zip)
    set(published "${source}/build/${target}/published")
    file(REMOVE_RECURSE "${published}")
    file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${published}")
    file(GLOB published_program "${published}/*/sphere.exe")
    set(published_program -D "CPACK_SPHERE_AUTHENTICODE_SIGNED=${published_program}")
  endif()
  run(cpack --config build/${target}/CPackConfig.cmake -B "${packages}" ${authenticode} ${published_program})
  # The files made from this target's build, which the bill of materials names.
  file(GLOB files LIST_DIRECTORIES false RELATIVE "${packages}" "${packages}/*")
  list(SORT files)
  list(TRANSFORM files PREPEND "${packages}/" OUTPUT_VARIABLE made)
  file(COPY ${made} DESTINATION "${dist}")
  list(TRANSFORM files PREPEND "${target}=")
  list(APPEND files_made ${files})
endforeach()

# The source archive: the commit's files under sphere-<version>/, as git
# stores them whatever the local settings, each dated at the commit.
set(version ${SPHERE_VERSION})
set(name sphere-${version})
message(STATUS "Making and checking ${name}.tar.gz")
if(SOURCE_ARCHIVE)
  file(COPY_FILE "${SOURCE_ARCHIVE}" "${dist}/${name}.tar.gz")
else()
  run(sh -c "git -c safe.directory=* -c tar.umask=022 -c core.autocrlf=false archive --format=tar --prefix=${name}/ HEAD | gzip -9 -n > \"$1\"" sh "${dist}/${name}.tar.gz")
endif()
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

# Appends a row of the table to `table`: each value padded to its column's width.
function(table_row)
  set(row "")
  foreach(value width IN ZIP_LISTS ARGN table_widths)
    string(LENGTH "${value}" length)
    math(EXPR padding "${width} - ${length}")
    if(padding LESS 0)
      set(padding 0)
    endif()
    string(REPEAT " " ${padding} pad)
    string(APPEND row "  ${value}${pad}")
  endforeach()
  string(STRIP "${row}" row)
  set(table "${table}\n  ${row}" PARENT_SCOPE)
endfunction()
# What ran them comes last, since why nothing could is a sentence.
set(table_widths 16 18 10 0)
set(table "What ran for each target:")
table_row(target "end-to-end cases" "unit tests" "its programs ran under")
foreach(target IN LISTS SPHERE_TARGETS)
  get_filename_component(emulator "${SPHERE_TARGET_${target}_emulator}" NAME)
  if(target IN_LIST untested)
    set(emulator "nothing: ${reason_${target}}")
  elseif(NOT emulator)
    set(emulator "the host")
  endif()
  table_row(${target} ${cases_${target}} ${units_${target}} "${emulator}")
endforeach()

# A signed release's RPM packages carry their signature themselves. A rebuild
# of a signed release takes the published signatures of what it made alike.
set(signing "")
if(OPENPGP_KEY)
  set(signing KEY ${OPENPGP_KEY})
elseif(SIGNATURES_FROM AND EXISTS "${SIGNATURES_FROM}/SHA256SUMS.asc")
  set(signing SIGNATURES_FROM "${SIGNATURES_FROM}")
endif()
if(signing)
  include(${CMAKE_CURRENT_LIST_DIR}/signing.cmake)
  sphere_sign_packages(DIST "${dist}" ${signing})
endif()
# A rebuild's Windows programs are signed where the published ones are.
if(SIGNATURES_FROM)
  foreach(target IN LISTS SPHERE_TARGETS)
    if(EXISTS "${source}/build/${target}/published")
      execute_process(COMMAND osslsigncode extract-signature -in "${source}/build/${target}/published/${name}-${target}/sphere.exe"
        -out "${source}/build/${target}/published/signature" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
      if(status EQUAL 0)
        include(${CMAKE_CURRENT_LIST_DIR}/check_windows_signing_key.cmake)
        sphere_authenticode_signer(authenticode_signer)
      endif()
    endif()
  endforeach()
endif()

# The bill of materials: every file above, what its program holds of whose
# code, under which licence.
include(${CMAKE_CURRENT_LIST_DIR}/sbom.cmake)
sphere_write_sbom(OUTPUT "${dist}/${name}.cdx.json" VERSION ${version} COMMIT ${COMMIT}
  SOURCE_ARCHIVE ${name}.tar.gz DIST "${dist}" BUILDS "${source}/build" FILES ${files_made}
  WINDOWS_SIGNED_WITH "${authenticode_signer}")

# The record of the build root, which a rebuild makes again.
include(${CMAKE_CURRENT_LIST_DIR}/build_record.cmake)
sphere_write_build_record(OUTPUT "${dist}/${name}.buildinfo" VERSION ${version} COMMIT ${COMMIT})

file(GLOB made RELATIVE "${dist}" "${dist}/*")
list(SORT made)
set(sums "")
foreach(name IN LISTS made)
  file(SHA256 "${dist}/${name}" sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE "${dist}/SHA256SUMS" "${sums}")
list(JOIN made "\n  " made)
if(signing)
  sphere_sign_release(DIST "${dist}" ${signing})
  set(signed "\n  SHA256SUMS.asc\n  debian/, rpm/: the apt and RPM repositories\nSigned, SHA256SUMS and each RPM package, ")
  if(OPENPGP_KEY)
    string(APPEND signed "with ${OPENPGP_KEY}.")
  else()
    string(APPEND signed "as ${SIGNATURES_FROM} is, with its signatures.")
  endif()
else()
  set(signed "\nUnsigned: without OPENPGP_KEY, no RPM package nor SHA256SUMS is signed, and there are no repositories.")
endif()
if(authenticode_signer)
  string(APPEND signed "\nThe Windows programs are Authenticode-signed, by ${authenticode_signer}.")
else()
  string(APPEND signed "\nThe Windows programs are unsigned: without WINDOWS_CERT_FILE and WINDOWS_KEY_FILE, they carry no Authenticode signature.")
endif()
message(STATUS "Released into ${dist}:\n  ${made}\n  SHA256SUMS${signed}")

message(STATUS "${table}")
if(untested)
  message(WARNING "Packaged untested, as ALLOW_UNTESTED allows: ${untested}")
endif()
