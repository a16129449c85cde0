# Writes the standard input of one end-to-end result case of cases.cmake, such
# as radius-2, to <PREFIX>.in, and the standard output it expects to
# <PREFIX>.out, its lines ended as Windows ends them where CRLF is set: what
# CI feeds a packaged program, and what it must write (.ci/runs_radius_2.sh).
#
#   cmake -D NAME=<case> -D PREFIX=<path> [-D CRLF=ON] -P tests/e2e/expected_output.cmake
include(${CMAKE_CURRENT_LIST_DIR}/outputs.cmake)
file(REMOVE "${PREFIX}.in" "${PREFIX}.out")

# The table's other cases are passed over.
function(result_case name input volume area)
  if(name STREQUAL NAME)
    sphere_results_output(${volume} ${area} output)
    if(CRLF)
      string(REPLACE "\n" "\r\n" output "${output}")
    endif()
    file(WRITE "${PREFIX}.in" "${input}")
    file(WRITE "${PREFIX}.out" "${output}")
  endif()
endfunction()
function(failure_case)

endfunction()
function(e2e_case)

endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/cases.cmake)
if(NOT EXISTS "${PREFIX}.out")
  message(FATAL_ERROR "tests/e2e/cases.cmake has no result case ${NAME}")
endif()
