# Starts or stops the Wine that runs the Windows program in the end-to-end tests.
#
#   WINE  the wine launcher;  STEP  start or stop
#   WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES come from the environment.
#
# A cold start of Wine takes seconds, and the server and services it starts
# inherit the standard streams of the run that started them, holding a test's
# pipes open after it ends. So the prefix is made and the server started once,
# here, with their streams pointed at a log file; each case then starts fast.

get_filename_component(wine_dir "${WINE}" DIRECTORY)
find_program(WINESERVER wineserver HINTS "${wine_dir}" REQUIRED)
set(log "$ENV{WINEPREFIX}.log")

if(STEP STREQUAL "start")
  # The server outlives this script and keeps its streams: a log of its own,
  # so that the next step does not truncate the file under it.
  execute_process(COMMAND "${WINESERVER}" -p OUTPUT_FILE "${log}.server" ERROR_FILE "${log}.server")
  execute_process(COMMAND "${WINE}" cmd /c exit
    OUTPUT_FILE "${log}" ERROR_FILE "${log}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    file(READ "${log}" details)
    message(FATAL_ERROR "Wine did not start (${status}):\n${details}")
  endif()
else()
  execute_process(COMMAND "${WINESERVER}" -k OUTPUT_QUIET ERROR_QUIET)
endif()
