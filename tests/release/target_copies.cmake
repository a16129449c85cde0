# What stands elsewhere of cmake/targets.cmake must follow it: a target added,
# renamed or moved to Wine there fails here until its presets are made again
# and doc/development.md's table of targets has its row.
#
#   cmake -D WORK=<scratch folder> -P tests/release/target_copies.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(top "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
include(${top}/cmake/targets.cmake)

file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -D "OUTPUT=${WORK}/targets.json" -P "${top}/cmake/presets/make_targets.cmake"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/targets.json" "${top}/cmake/presets/targets.json"
                RESULT_VARIABLE stale)
if(stale)
  message(FATAL_ERROR "cmake/presets/targets.json is not what cmake/targets.cmake makes: "
                      "cmake -P cmake/presets/make_targets.cmake writes it anew")
endif()

file(STRINGS "${top}/doc/development.md" rows REGEX "^\\| `(linux|windows)-[^`]+` \\|")
list(TRANSFORM rows REPLACE "^\\| `([^`]+)`.*" "\\1")
if(NOT rows STREQUAL SPHERE_TARGETS)
  message(FATAL_ERROR "doc/development.md's table of targets lists ${rows}, not the targets of "
                      "cmake/targets.cmake, ${SPHERE_TARGETS}")
endif()
