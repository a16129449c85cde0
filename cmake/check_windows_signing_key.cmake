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

# Sets <variable> to the public key that <command> prints, or stops with <what>
# that cannot be read.
function(authenticode_public_key what variable)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE key ERROR_VARIABLE error)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "No release: cannot read ${what}: ${error}")
  endif()
  set(${variable} "${key}" PARENT_SCOPE)
endfunction()

function(sphere_check_authenticode)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "CERT;KEY;SIGNER" "")
  authenticode_public_key("the certificate ${arg_CERT}" certified
    openssl x509 -in "${arg_CERT}" -noout -pubkey)
  authenticode_public_key("the key ${arg_KEY} (a PEM private key without a passphrase)" held
    openssl pkey -in "${arg_KEY}" -passin pass: -pubout)
  if(NOT certified STREQUAL held)
    message(FATAL_ERROR "No release: the key ${arg_KEY} is not the one that the certificate ${arg_CERT} certifies")
  endif()
  sphere_authenticode_signer(signer)
  set(${arg_SIGNER} "${signer}" PARENT_SCOPE)
endfunction()

function(sphere_authenticode_signer variable)
  execute_process(COMMAND osslsigncode --version OUTPUT_VARIABLE version COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCH "^osslsigncode [^ ,\n]+" version "${version}")
  set(${variable} "${version}" PARENT_SCOPE)
endfunction()
