# Runs the program once, as a user would, and compares what it wrote byte for byte.
#
#   PROGRAM    the program to run, through EMULATOR if that is set
#   CASE       path prefix of the case files: .in is fed to standard input,
#              .out and .err hold the expected standard output and error
#   STATUS     the expected exit status
#   STDIN_FROM a file or folder to feed to standard input instead of .in, or
#              "closed" to run the program with standard input closed
#   STDOUT_TO  a file to send standard output to instead of checking it, or
#              "closed" to run the program with standard output closed
#   CRLF       true when the program writes Windows text line ends

# The outputs go to files: captured into variables, CMake would drop the
# carriage returns of Windows line ends before they could be compared.
set(command ${EMULATOR} "${PROGRAM}")
set(stdin_file "${CASE}.in")
set(stdout_file "${CASE}.actual-out")
set(closing "")
if(STDIN_FROM STREQUAL "closed")
  string(APPEND closing " <&-")
elseif(STDIN_FROM)
  set(stdin_file "${STDIN_FROM}")
endif()
if(STDOUT_TO STREQUAL "closed")
  string(APPEND closing " >&-")
elseif(STDOUT_TO)
  set(stdout_file "${STDOUT_TO}")
endif()
if(closing)
  # Only a POSIX shell can start a program with a stream closed.
  set(command sh -c "exec \"$@\"${closing}" sh ${command})
endif()
execute_process(
  COMMAND ${command}
  INPUT_FILE "${stdin_file}"
  OUTPUT_FILE "${stdout_file}"
  ERROR_FILE "${CASE}.actual-err"
  RESULT_VARIABLE actual_status)

set(failures "")
if(NOT actual_status STREQUAL STATUS)
  string(APPEND failures "exit status: expected ${STATUS}, got ${actual_status}\n")
endif()

set(streams err)
if(NOT STDOUT_TO)
  list(APPEND streams out)
endif()
foreach(stream IN LISTS streams)
  file(READ "${CASE}.${stream}" expected)
  if(CRLF)
    string(REPLACE "\n" "\r\n" expected "${expected}")
  endif()
  file(WRITE "${CASE}.expected-${stream}" "${expected}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${CASE}.expected-${stream}" "${CASE}.actual-${stream}"
                  RESULT_VARIABLE differ)
  if(differ)
    file(READ "${CASE}.actual-${stream}" actual)
    string(APPEND failures "standard ${stream}:\n  expected [${expected}]\n  got      [${actual}]\n")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
