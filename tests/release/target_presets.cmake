# The targets' presets must be what cmake/targets.cmake makes of them: a
# target added, renamed or moved to Wine there without its presets made again
# fails here.
#
#   cmake -D WORK=<scratch folder> -P tests/release/target_presets.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(presets "${CMAKE_CURRENT_LIST_DIR}/../../cmake/presets" ABSOLUTE)
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -D "OUTPUT=${WORK}/targets.json" -P "${presets}/make_targets.cmake"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/targets.json" "${presets}/targets.json"
                RESULT_VARIABLE stale)
if(stale)
  message(FATAL_ERROR "cmake/presets/targets.json is not what cmake/targets.cmake makes: "
                      "cmake -P cmake/presets/make_targets.cmake writes it anew")
endif()
