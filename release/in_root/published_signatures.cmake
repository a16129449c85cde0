# What a rebuild of a signed release takes from the release as published
# (SIGNATURES_FROM) rather than signing, since it has no key: each Windows
# program, which cpack puts in place of the rebuilt one where they are alike
# in every byte its signature covers (cpack/sign_windows_programs.cmake); and
# the RPM packages and detached signatures, which signing.cmake takes.
# Nothing published is run: a zip is only unpacked, out of the sources and
# their builds.
#
#   sphere_published_program(<published release> <target> <variable>)
#
# sets <variable> to the target's published Windows program, unpacked from its
# zip, or to nothing where the release has no zip of that target.
#
#   sphere_published_signer(<variable> <program>...)
#
# sets <variable> to what signs (authenticode_key.cmake), where one of the
# published programs carries a signature, or to nothing.
include_guard(GLOBAL)

function(sphere_published_program from target variable)
  set(program "")
  if(from)
    file(GLOB zip "${from}/sphere-*-${target}.zip")
  endif()
  if(zip)
    set(published "/tmp/sphere-published/${target}")
    file(REMOVE_RECURSE "${published}")
    file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${published}")
    file(GLOB_RECURSE program "${published}/*.exe")
  endif()
  set(${variable} "${program}" PARENT_SCOPE)
endfunction()

function(sphere_published_signer variable)
  set(signer "")
  foreach(program IN LISTS ARGN)
    execute_process(COMMAND osslsigncode extract-signature -in "${program}" -out "${program}.signature"
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    if(status EQUAL 0)
      include(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/authenticode_key.cmake)
      sphere_authenticode_signer(signer)
      break()
    endif()
  endforeach()
  set(${variable} "${signer}" PARENT_SCOPE)
endfunction()
