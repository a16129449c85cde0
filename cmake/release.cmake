# Makes a release of the last commit: builds and tests the program for every
# target in targets.cmake and packages it, makes the source archive and checks
# that it builds and passes its tests on its own, and writes all of it to a
# fresh dist/ with SHA256SUMS beside them.
#
#   cmake [-D SIGNING_KEY=<fingerprint>] [-D ALLOW_UNTESTED=<targets>]
#         [-D WINDOWS_SIGNING_CERT=<PEM chain> -D WINDOWS_SIGNING_KEY=<PEM key>
#          [-D WINDOWS_SIGNING_URL=<the publisher's address>]
#          [-D WINDOWS_TIMESTAMP_URL=<its timestamp server>]] -P cmake/release.cmake
#
# SIGNING_KEY, a key of the publisher's GnuPG, signs the RPM packages and
# SHA256SUMS and makes the signed apt and RPM repositories (signing.cmake);
# WINDOWS_SIGNING_CERT and WINDOWS_SIGNING_KEY, the publisher's code-signing
# certificate and key, sign the Windows programs with Authenticode before they
# are zipped (authenticode.cmake); a timestamp from the publisher's timestamp
# server keeps their signatures valid after the certificate expires, but is
# the server's own, so that release is not reproducible. Without them,
# nothing is signed.
#
# A target whose programs cannot run on this machine, its emulator missing or
# unable to run here, stops the release, which names it and why: no target
# ships untested. ALLOW_UNTESTED lists the targets that a publisher chooses to
# package untested all the same; the release then ends with a warning that
# names them.
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

# The Linux programs keep a floor, the oldest glibc they run on
# (SPHERE_GLIBC_FLOOR in CMakeLists.txt), which only a toolchain with a glibc
# older than 2.38 can keep: from 2.38 on, glibc's headers turn strtoul and its
# kin into __isoc23_* names, which GCC's C++ library, compiled against them and
# linked into the programs, then calls. Each Debian release's cross toolchains
# have its own glibc, so the machine's tells, before anything is built.
file(STRINGS "${source}/CMakeLists.txt" floor REGEX "^set\\(SPHERE_GLIBC_FLOOR ")
string(REGEX REPLACE "^.* ([0-9.]+)\\)$" "\\1" floor "${floor}")
execute_process(COMMAND getconf GNU_LIBC_VERSION OUTPUT_VARIABLE glibc ERROR_QUIET)
string(REGEX REPLACE "^glibc ([0-9.]+)\n?$" "\\1" glibc "${glibc}")
if(glibc VERSION_GREATER_EQUAL 2.38)
  message(FATAL_ERROR "No release on this machine: its glibc is ${glibc}. From glibc 2.38 on, "
    "strtoul and its kin become __isoc23_* names in GCC's C++ library, which the Linux programs "
    "hold, and they would need glibc 2.38, above their floor, glibc ${floor}. A release is made "
    "where glibc is ${floor} to 2.37: on Debian 12 today.")
endif()

# Nothing is built unless everything can be: a release is never partial. It
# needs, as program:Debian packages, the tools that build and package, and each
# target's compiler.
set(requirements make:make gzip:gzip git:git readelf:binutils rpmbuild:rpm
  /usr/include/gtest/gtest.h:libgtest-dev /usr/src/googletest:googletest)
if(SIGNING_KEY)
  list(APPEND requirements gpg:gnupg apt-ftparchive:apt-utils createrepo_c:createrepo-c rpmsign:rpm)
endif()
if(WINDOWS_SIGNING_CERT OR WINDOWS_SIGNING_KEY)
  list(APPEND requirements osslsigncode:osslsigncode openssl:openssl)
endif()
foreach(preset IN LISTS SPHERE_TARGETS)
  set(compiler g++)
  if(SPHERE_TARGET_${preset}_triplet)
    set(compiler ${SPHERE_TARGET_${preset}_triplet}-g++)
  endif()
  list(JOIN SPHERE_TARGET_${preset}_packages "," packages)
  list(APPEND requirements ${compiler}:${packages})
endforeach()
set(missing "")
foreach(requirement IN LISTS requirements)
  string(REGEX MATCH "^([^:]+):(.+)$" requirement "${requirement}")
  set(program ${CMAKE_MATCH_1})
  string(REPLACE "," ";" packages "${CMAKE_MATCH_2}")
  unset(found)
  find_program(found NAMES ${program} NO_CACHE)
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
if(SIGNING_KEY)
  execute_process(COMMAND gpg --batch --list-secret-keys "${SIGNING_KEY}"
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "GnuPG has no secret key ${SIGNING_KEY} to sign with (GNUPGHOME: $ENV{GNUPGHOME})")
  endif()
endif()
# The Windows programs are signed as cpack packs them, with the certificate
# and key given here, which must be read and match before anything is built.
set(authenticode "")
if(WINDOWS_SIGNING_CERT OR WINDOWS_SIGNING_KEY)
  if(NOT WINDOWS_SIGNING_CERT OR NOT WINDOWS_SIGNING_KEY)
    message(FATAL_ERROR "Authenticode takes both WINDOWS_SIGNING_CERT and WINDOWS_SIGNING_KEY")
  endif()
  get_filename_component(WINDOWS_SIGNING_CERT "${WINDOWS_SIGNING_CERT}" ABSOLUTE)
  get_filename_component(WINDOWS_SIGNING_KEY "${WINDOWS_SIGNING_KEY}" ABSOLUTE)
  include(${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)
  sphere_check_authenticode(CERT "${WINDOWS_SIGNING_CERT}" KEY "${WINDOWS_SIGNING_KEY}"
    SIGNER authenticode_signer)
  set(authenticode -D "CPACK_SPHERE_AUTHENTICODE_CERT=${WINDOWS_SIGNING_CERT}"
    -D "CPACK_SPHERE_AUTHENTICODE_KEY=${WINDOWS_SIGNING_KEY}"
    -D "CPACK_SPHERE_AUTHENTICODE_URL=${WINDOWS_SIGNING_URL}"
    -D "CPACK_SPHERE_AUTHENTICODE_TIMESTAMP_URL=${WINDOWS_TIMESTAMP_URL}")
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${source}"
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C)

# What ran for each target: its programs' emulator, and how many end-to-end
# cases and unit tests its workflow ran, as ctest counts them by their labels
# (less the fixtures, such as Wine's start and stop, that they need).
function(tests_run preset label variable)
  execute_process(COMMAND ctest --test-dir "${source}/build/${preset}" -N -L "^${label}$" -FA ".*"
    OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "Total Tests: ([0-9]+)" total "${listing}")
  set(${variable} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

# Why a target's programs could not run: the reason its toolchain recorded
# when it found the emulator unable to run here.
function(untested_reason preset variable)
  file(STRINGS "${source}/build/${preset}/CMakeCache.txt" reason
    REGEX "^SPHERE_EMULATOR_UNUSABLE:INTERNAL=.")
  string(REGEX REPLACE "^[^=]*=" "" reason "${reason}")
  if(NOT reason)
    set(reason "no end-to-end case ran")
  endif()
  set(${variable} "${reason}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${dist}")
file(MAKE_DIRECTORY "${dist}")
set(untested "")
foreach(preset IN LISTS SPHERE_TARGETS)
  message(STATUS "Building and testing ${preset}")
  run(cmake --workflow --preset ${preset} --fresh)
  tests_run(${preset} e2e cases_${preset})
  tests_run(${preset} unit units_${preset})
  if(cases_${preset} EQUAL 0)
    list(APPEND untested ${preset})
    untested_reason(${preset} reason_${preset})
    if(NOT preset IN_LIST ALLOW_UNTESTED)
      list(JOIN SPHERE_TARGET_${preset}_packages " " packages)
      message(FATAL_ERROR "${preset}'s programs could not run here: ${reason_${preset}} (its emulator: "
        "${SPHERE_TARGET_${preset}_emulator}, Debian: ${packages}). "
        "-D ALLOW_UNTESTED=${preset} packages it untested.")
    endif()
  endif()
  set(packages "${source}/build/${preset}/packages")
  file(REMOVE_RECURSE "${packages}")
  run(cpack --config build/${preset}/CPackConfig.cmake -B "${packages}" ${authenticode})
  # The files made from this target's build, which the bill of materials names.
  file(GLOB files_${preset} LIST_DIRECTORIES false RELATIVE "${packages}" "${packages}/*")
  list(SORT files_${preset})
  list(TRANSFORM files_${preset} PREPEND "${packages}/" OUTPUT_VARIABLE made)
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
foreach(preset IN LISTS SPHERE_TARGETS)
  get_filename_component(emulator "${SPHERE_TARGET_${preset}_emulator}" NAME)
  if(preset IN_LIST untested)
    set(emulator "nothing: ${reason_${preset}}")
  elseif(NOT emulator)
    set(emulator "the host")
  endif()
  table_row(${preset} ${cases_${preset}} ${units_${preset}} "${emulator}")
endforeach()

# A signed release's RPM packages carry their signature themselves.
if(SIGNING_KEY)
  include(${CMAKE_CURRENT_LIST_DIR}/signing.cmake)
  sphere_sign_packages(DIST "${dist}" KEY ${SIGNING_KEY})
endif()

# The bill of materials: every file above, what its program holds of whose
# code, under which licence.
include(${CMAKE_CURRENT_LIST_DIR}/sbom.cmake)
execute_process(COMMAND git rev-parse HEAD WORKING_DIRECTORY "${source}"
  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
sphere_write_sbom(OUTPUT "${dist}/${name}.cdx.json" VERSION ${version} COMMIT ${commit}
  SOURCE_ARCHIVE ${name}.tar.gz DIST "${dist}" BUILDS "${source}/build"
  WINDOWS_SIGNED_WITH "${authenticode_signer}")

file(GLOB made RELATIVE "${dist}" "${dist}/*")
list(SORT made)
set(sums "")
foreach(name IN LISTS made)
  file(SHA256 "${dist}/${name}" sum)
  string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE "${dist}/SHA256SUMS" "${sums}")
list(JOIN made "\n  " made)
if(SIGNING_KEY)
  sphere_sign_release(DIST "${dist}" KEY ${SIGNING_KEY})
  set(signed "\n  SHA256SUMS.asc\n  debian/, rpm/: the apt and RPM repositories\nSigned, SHA256SUMS and each RPM package, with ${SIGNING_KEY}.")
else()
  set(signed "\nUnsigned: without SIGNING_KEY, no RPM package nor SHA256SUMS is signed, and there are no repositories.")
endif()
if(authenticode)
  string(APPEND signed "\nThe Windows programs are Authenticode-signed, by ${authenticode_signer}.")
else()
  string(APPEND signed "\nThe Windows programs are unsigned: without WINDOWS_SIGNING_CERT and WINDOWS_SIGNING_KEY, they carry no Authenticode signature.")
endif()
message(STATUS "Released into ${dist}:\n  ${made}\n  SHA256SUMS${signed}")

message(STATUS "${table}")
if(untested)
  message(WARNING "Packaged untested, as ALLOW_UNTESTED allows: ${untested}")
endif()
