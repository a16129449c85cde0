# The one way the release's scripts run a command that must succeed:
#
#   sphere_run(<command> [<argument>...] [IN <folder>] [QUIET]
#              [OUTPUT <variable>] [OUTPUT_FILE <file>] [FAILURE <sentence>])
#
# runs it in <folder> (by default where cmake runs) with the files it makes
# readable by all, whatever the caller's umask, since cpack makes the
# packages' folders with it; and stops where it fails, with <sentence> where
# one is given, naming the command and its exit status. Its output goes to the caller's, or with QUIET is shown
# only where it fails; OUTPUT sets <variable> to its standard output without
# the last newline, its errors shown only where it fails, and OUTPUT_FILE
# writes its standard output to <file>.
#
# A command asked a question, whose failure is an answer, runs with
# execute_process and its RESULT_VARIABLE.
function(sphere_run)
  cmake_parse_arguments(PARSE_ARGV 0 arg "QUIET" "IN;OUTPUT;OUTPUT_FILE;FAILURE" "")
  set(in "")
  set(where "")
  if(arg_IN)
    set(in WORKING_DIRECTORY "${arg_IN}")
    set(where " in ${arg_IN}")
  endif()
  set(capture "")
  if(arg_QUIET)
    set(capture OUTPUT_VARIABLE said ERROR_VARIABLE said)
  elseif(arg_OUTPUT)
    set(capture OUTPUT_VARIABLE output OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_VARIABLE said)
  elseif(arg_OUTPUT_FILE)
    set(capture OUTPUT_FILE "${arg_OUTPUT_FILE}")
  endif()
  execute_process(COMMAND sh -c "umask 022 && exec \"$@\"" sh ${arg_UNPARSED_ARGUMENTS} ${in}
                  RESULT_VARIABLE status ${capture})
  if(NOT status EQUAL 0)
    list(JOIN arg_UNPARSED_ARGUMENTS " " command)
    if(arg_FAILURE)
      string(APPEND arg_FAILURE ": ")
    endif()
    message(FATAL_ERROR "${arg_FAILURE}${command}\nfailed (${status})${where}\n${said}")
  endif()
  if(arg_OUTPUT)
    set(${arg_OUTPUT} "${output}" PARENT_SCOPE)
  endif()
endfunction()
