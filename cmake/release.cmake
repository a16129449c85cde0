# Makes a release of the last commit into a fresh dist/, on any Linux host:
# in the build root (release/host/build_root.cmake), a minimal Debian root
# that holds every tool the release uses, it builds, tests, packages and
# signs the program for every target (release/in_root/release_stages.cmake),
# and records the root beside the packages (build_record.cmake), so that
# anyone can rebuild it and compare (rebuild.cmake).
#
#   cmake [-D OPENPGP_KEY=<fingerprint>] [-D ALLOW_UNTESTED=<targets>]
#         [-D WINDOWS_CERT_FILE=<PEM chain> -D WINDOWS_KEY_FILE=<PEM key>
#          [-D WINDOWS_PUBLISHER_URL=<the publisher's address>]
#          [-D WINDOWS_TIMESTAMP_URL=<its timestamp server>]]
#         [-D SUITE=<suite>] [-D MIRROR=<archive>] [-D BUILD_ROOT_CACHE=<folder>]
#         -P cmake/release.cmake
#
# OPENPGP_KEY, a key of the publisher's GnuPG, signs the RPM packages and
# SHA256SUMS and makes the signed apt and RPM repositories (signing.cmake);
# WINDOWS_CERT_FILE and WINDOWS_KEY_FILE, the publisher's code-signing
# certificate and key, sign the Windows programs with Authenticode before they
# are zipped (cpack/sign_windows_programs.cmake); a timestamp from the
# publisher's timestamp server keeps their signatures valid after the
# certificate expires, but is the server's own, so that release is not
# reproducible. Without them,
# nothing is signed. The keys are never copied: the publisher's GnuPG folder
# (GNUPGHOME, or ~/.gnupg) and the certificate and key files are mounted into
# the root's copy, for the release alone, and the copy is removed after it.
#
# A target whose programs cannot run in the root, its emulator unable to run
# on this machine, stops the release, which names it and why: no target
# ships untested. ALLOW_UNTESTED lists the targets that a publisher chooses to
# package untested all the same; the release then ends with a warning that
# names them.
#
# The names that 1.0.0's releases took still work: SIGNING_KEY for
# OPENPGP_KEY, WINDOWS_SIGNING_CERT and WINDOWS_SIGNING_KEY for the two files,
# WINDOWS_SIGNING_URL for WINDOWS_PUBLISHER_URL.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
include(${source}/release/host/build_root.cmake)
include(${source}/release/host/enter_build_root.cmake)
sphere_build_root_settings()
sphere_check_build_root_host()

foreach(names IN ITEMS "OPENPGP_KEY;SIGNING_KEY" "WINDOWS_CERT_FILE;WINDOWS_SIGNING_CERT"
                       "WINDOWS_KEY_FILE;WINDOWS_SIGNING_KEY" "WINDOWS_PUBLISHER_URL;WINDOWS_SIGNING_URL")
  list(GET names 0 name)
  list(GET names 1 old)
  if(NOT ${name} AND ${old})
    set(${name} "${${old}}")
  endif()
endforeach()

set(binds "${source}=/sphere")
set(options "")
string(REPLACE ";" "," ALLOW_UNTESTED "${ALLOW_UNTESTED}")
foreach(option IN ITEMS OPENPGP_KEY ALLOW_UNTESTED WINDOWS_PUBLISHER_URL WINDOWS_TIMESTAMP_URL)
  list(APPEND options -D "${option}=${${option}}")
endforeach()
if(OPENPGP_KEY)
  set(gnupg "$ENV{GNUPGHOME}")
  if(NOT gnupg)
    set(gnupg "$ENV{HOME}/.gnupg")
  endif()
  list(APPEND binds "${gnupg}=/root/.gnupg")
endif()
foreach(file IN ITEMS WINDOWS_CERT_FILE WINDOWS_KEY_FILE)
  if(${file})
    get_filename_component(path "${${file}}" ABSOLUTE)
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "No release: ${file} ${path} does not exist")
    endif()
    string(TOLOWER "${file}" name)
    list(APPEND binds "${path}=/run/sphere/${name}.pem:ro")
    list(APPEND options -D "${file}=/run/sphere/${name}.pem")
  endif()
endforeach()
# The time stamps are the last commit's unless SOURCE_DATE_EPOCH says otherwise;
# where CI is set, the tests under a locale with a decimal comma may not skip.
set(environment "")
foreach(variable IN ITEMS SOURCE_DATE_EPOCH CI)
  if(DEFINED ENV{${variable}})
    list(APPEND environment "${variable}=$ENV{${variable}}")
  endif()
endforeach()

# The target's packages and the release's own, each once.
set(packages ${SPHERE_RELEASE_PACKAGES})
foreach(target IN LISTS SPHERE_TARGETS)
  list(APPEND packages ${SPHERE_TARGET_${target}_packages})
endforeach()
sphere_make_build_root(PACKAGES ${packages} VARIABLE root)
# The release runs with no network, but where a timestamp server is to be
# asked.
set(network "")
if(WINDOWS_TIMESTAMP_URL)
  set(network NETWORK)
endif()
sphere_run_in_build_root(TARBALL "${root}" BIND ${binds} ${network}
                         COMMAND ${environment} cmake ${options} -P /sphere/release/in_root/release_stages.cmake)
