# Read by cpack once a Windows program's files are in place, before it zips
# them: where the release names a certificate and key, signs each program
# there with Authenticode (osslsigncode), as of SOURCE_DATE_EPOCH, under the
# name "sphere" and, where given, the publisher's address (see authenticode.cmake).
#
#   CPACK_SPHERE_AUTHENTICODE_CERT  the PEM certificate chain
#   CPACK_SPHERE_AUTHENTICODE_KEY   its PEM private key
#   CPACK_SPHERE_AUTHENTICODE_URL   the publisher's address, or nothing
#   CPACK_SPHERE_AUTHENTICODE_TIMESTAMP_URL  the publisher's timestamp server
#                                   (RFC 3161), or nothing
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
  execute_process(COMMAND osslsigncode sign
      -certs "${CPACK_SPHERE_AUTHENTICODE_CERT}" -key "${CPACK_SPHERE_AUTHENTICODE_KEY}"
      -h sha256 -n sphere ${options} -time $ENV{SOURCE_DATE_EPOCH}
      -in "${program}" -out "${program}.signed"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "osslsigncode could not sign ${program}:\n${output}")
  endif()
  # The signed program keeps the mode the program was installed with.
  file(CHMOD "${program}.signed" FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  file(RENAME "${program}.signed" "${program}")
endforeach()
