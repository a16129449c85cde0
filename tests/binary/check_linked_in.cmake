# Checks what the program holds of others' code: every library and start-up
# object that its link map shows must be of the code that the notices cover,
# and so listed in packaging/linked_in.cmake, from which the release's bill of
# materials says what each program holds.
#
#   MAP      the link map that GNU ld wrote (-Map)
#   ALLOWED  the libraries and objects allowed, by file name less .a or .o

cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/link_map.cmake)
sphere_link_map_files("${MAP}" files)
set(linked "")
foreach(file IN LISTS files)
  get_filename_component(library "${file}" NAME_WLE)
  if(NOT library IN_LIST ALLOWED)
    list(APPEND linked ${library})
  endif()
endforeach()
if(linked)
  list(REMOVE_DUPLICATES linked)
  message(FATAL_ERROR "the program holds code that the notices and the bill of materials do not cover: ${linked}")
endif()
