# Runs the program once, as a user would, and compares what it wrote.
#
#   PROGRAM    the program to run, through EMULATOR if that is set
#   CASE       path prefix of the case files: .in is fed to standard input,
#              .out and .err hold the expected standard output and error
#   STATUS     the expected exit status
#   STDOUT_TO  a file to send standard output to instead of capturing it, or
#              "closed" to run the program with standard output closed
#   CRLF       true when the program writes Windows text line ends

set(command ${EMULATOR} "${PROGRAM}")
if(STDOUT_TO STREQUAL "closed")
  # Only a POSIX shell can start a program with a stream closed.
  set(command sh -c "exec \"$@\" >&-" sh ${command})
  set(stdout_arg "")
elseif(STDOUT_TO)
  set(stdout_arg OUTPUT_FILE "${STDOUT_TO}")
else()
  set(stdout_arg OUTPUT_VARIABLE actual_out)
endif()
execute_process(
  COMMAND ${command}
  INPUT_FILE "${CASE}.in"
  ${stdout_arg}
  ERROR_VARIABLE actual_err
  RESULT_VARIABLE actual_status)

file(READ "${CASE}.out" expected_out)
file(READ "${CASE}.err" expected_err)
if(CRLF)
  string(REPLACE "\n" "\r\n" expected_out "${expected_out}")
  string(REPLACE "\n" "\r\n" expected_err "${expected_err}")
endif()

set(failures "")
if(NOT actual_status STREQUAL STATUS)
  string(APPEND failures "exit status: expected ${STATUS}, got ${actual_status}\n")
endif()
if(NOT STDOUT_TO AND NOT actual_out STREQUAL expected_out)
  string(APPEND failures "standard output:\n  expected [${expected_out}]\n  got      [${actual_out}]\n")
endif()
if(NOT actual_err STREQUAL expected_err)
  string(APPEND failures "standard error:\n  expected [${expected_err}]\n  got      [${actual_err}]\n")
endif()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
