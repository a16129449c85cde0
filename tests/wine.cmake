# Starts or stops the Wine that runs the Windows program in the end-to-end tests.
#
#   WINE  the wine launcher, or tests/wine-wow64, which starts 64-bit Wine's
#         (in /usr/lib/wine, where Debian puts its server too);  STEP  start or stop
#   WINEPREFIX, and the settings of tests/wine.env, come from the environment.
#
# A cold start of Wine takes seconds, and the server and services it starts
# inherit the standard streams of the run that started them, holding a test's
# pipes open after it ends. So the prefix is made and the server started once,
# here, with their streams pointed at a log file; each case then starts fast.

get_filename_component(wine_dir "${WINE}" DIRECTORY)
find_program(WINESERVER wineserver HINTS "${wine_dir}" /usr/lib/wine REQUIRED)
set(prefix "$ENV{WINEPREFIX}")

if(STEP STREQUAL "start")
  # The server outlives this script and keeps its streams, so each gets a log
  # of its own, which the next step does not truncate under it. Now and then
  # a new prefix comes out broken ("could not load kernel32.dll"); it is then
  # made once more from nothing, and each attempt keeps its logs.
  foreach(attempt IN ITEMS 1 2)
    execute_process(COMMAND "${WINESERVER}" -p OUTPUT_FILE "${prefix}.server-${attempt}.log"
                    ERROR_FILE "${prefix}.server-${attempt}.log")
    execute_process(COMMAND "${WINE}" cmd /c exit OUTPUT_FILE "${prefix}.start-${attempt}.log"
                    ERROR_FILE "${prefix}.start-${attempt}.log" RESULT_VARIABLE status)
    if(status EQUAL 0)
      return()
    endif()
    file(READ "${prefix}.start-${attempt}.log" details)
    message("Wine did not start (attempt ${attempt}, ${status}):\n${details}")
    execute_process(COMMAND "${WINESERVER}" -k OUTPUT_QUIET ERROR_QUIET)
    file(REMOVE_RECURSE "${prefix}")
  endforeach()
  message(FATAL_ERROR "Wine did not start in ${prefix}")
else()
  execute_process(COMMAND "${WINESERVER}" -k OUTPUT_QUIET ERROR_QUIET)
endif()
