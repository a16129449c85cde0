# Read by cpack once a Windows program's files are in place, before it zips
# them: where the release names a certificate and key, signs each program
# there with Authenticode (osslsigncode), as of SOURCE_DATE_EPOCH, under the
# name "sphere" and, where given, the publisher's address (see
# release/in_root/authenticode_key.cmake).
#
#   CPACK_SPHERE_AUTHENTICODE_CERT  the PEM certificate chain
#   CPACK_SPHERE_AUTHENTICODE_KEY   its PEM private key
#   CPACK_SPHERE_AUTHENTICODE_URL   the publisher's address, or nothing
#   CPACK_SPHERE_AUTHENTICODE_TIMESTAMP_URL  the publisher's timestamp server
#                                   (RFC 3161), or nothing
#
# A rebuild has no key, but the published program (CPACK_SPHERE_AUTHENTICODE_SIGNED):
# it takes that one, signature and all, where it is this program in every
# byte its signature covers (signed_content.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/../run_command.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../signed_content.cmake)
# A program put in place here keeps the mode it was installed with.
set(program_mode OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(CPACK_SPHERE_AUTHENTICODE_SIGNED)
  file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*.exe")
  set(unsigned "${CPACK_TEMPORARY_DIRECTORY}/../published-unsigned.exe")
  execute_process(COMMAND osslsigncode remove-signature -in "${CPACK_SPHERE_AUTHENTICODE_SIGNED}" -out "${unsigned}"
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    return()
  endif()
  sphere_pe_signed_alike("${unsigned}" "${programs}" alike)
  if(alike)
    file(COPY_FILE "${CPACK_SPHERE_AUTHENTICODE_SIGNED}" "${programs}")
    file(CHMOD "${programs}" FILE_PERMISSIONS ${program_mode})
  endif()
  file(REMOVE "${unsigned}")
  return()
endif()
if(NOT CPACK_SPHERE_AUTHENTICODE_CERT)
  return()
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  message(FATAL_ERROR "Authenticode signs as of SOURCE_DATE_EPOCH, which is not set")
endif()
set(options "")
if(CPACK_SPHERE_AUTHENTICODE_URL)
  list(APPEND options -i "${CPACK_SPHERE_AUTHENTICODE_URL}")
endif()
if(CPACK_SPHERE_AUTHENTICODE_TIMESTAMP_URL)
  list(APPEND options -ts "${CPACK_SPHERE_AUTHENTICODE_TIMESTAMP_URL}")
endif()
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*.exe")
foreach(program IN LISTS programs)
  sphere_run(
    osslsigncode sign -certs "${CPACK_SPHERE_AUTHENTICODE_CERT}" -key "${CPACK_SPHERE_AUTHENTICODE_KEY}" -h sha256 -n
    sphere ${options} -time $ENV{SOURCE_DATE_EPOCH} -in "${program}" -out "${program}.signed" QUIET
    FAILURE "osslsigncode could not sign ${program}")
  file(CHMOD "${program}.signed" FILE_PERMISSIONS ${program_mode})
  file(RENAME "${program}.signed" "${program}")
endforeach()
