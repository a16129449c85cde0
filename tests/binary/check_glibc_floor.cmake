# Checks that the program runs on every glibc from the floor on: no symbol it
# takes from glibc may have a newer version than the floor's.
#
#   PROGRAM  the program;  READELF  readelf for its format
#   FLOOR    the oldest glibc it must run on, such as 2.34
#   TARGET   what the program is built for, for the message

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/cpack/symbol_versions.cmake)
sphere_needed_symbols("${READELF}" "${PROGRAM}" needed)
list(FILTER needed INCLUDE REGEX "@GLIBC_[0-9.]+$")
set(too_new "")
foreach(symbol IN LISTS needed)
  string(REGEX MATCH "GLIBC_([0-9.]+)$" version "${symbol}")
  if(CMAKE_MATCH_1 VERSION_GREATER FLOOR)
    list(APPEND too_new "${symbol}")
  endif()
endforeach()
if(too_new)
  list(JOIN too_new ", " too_new)
  message(FATAL_ERROR "${TARGET}: the program needs glibc symbols newer than its floor, glibc ${FLOOR}: ${too_new}")
endif()
