# Authenticode: the signature that Windows itself checks on a program, and
# that its users see (PowerShell's Get-AuthenticodeSignature, the Digital
# Signatures tab). The release signs the Windows programs with the publisher's
# code-signing certificate and key as cpack packs them
# (cpack/sign_windows_programs.cmake), with osslsigncode, as of SOURCE_DATE_EPOCH. RSA signatures are
# deterministic, so the same certificate, key, program and osslsigncode give
# the same bytes; another version of osslsigncode may write others.
#
#   sphere_check_authenticode(CERT <PEM chain> KEY <PEM key> SIGNER <variable>)
#
# stops unless the certificate (the first of the chain) and the key, a PEM
# private key without a passphrase, can be read and belong together, and
# sets <variable> to what signs (sphere_authenticode_signer).
#
#   sphere_authenticode_signer(<variable>)
#
# sets <variable> to the tool that signs, such as "osslsigncode 2.5", which
# the bill of materials names.

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/run_command.cmake)

function(sphere_check_authenticode)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "CERT;KEY;SIGNER" "")
  sphere_run(openssl x509 -in "${arg_CERT}" -noout -pubkey OUTPUT certified
             FAILURE "No release: cannot read the certificate ${arg_CERT}")
  sphere_run(openssl pkey -in "${arg_KEY}" -passin pass: -pubout OUTPUT held
             FAILURE "No release: cannot read the key ${arg_KEY} (a PEM private key without a passphrase)")
  if(NOT certified STREQUAL held)
    message(FATAL_ERROR "No release: the key ${arg_KEY} is not the one that the certificate ${arg_CERT} certifies")
  endif()
  sphere_authenticode_signer(signer)
  set(${arg_SIGNER} "${signer}" PARENT_SCOPE)
endfunction()

function(sphere_authenticode_signer variable)
  sphere_run(osslsigncode --version OUTPUT version)
  string(REGEX MATCH "^osslsigncode [^ ,\n]+" version "${version}")
  set(${variable} "${version}" PARENT_SCOPE)
endfunction()
