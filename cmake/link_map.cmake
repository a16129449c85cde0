# What GNU ld's link map (-Map) says a program holds of others' code, for the
# linked-in test and the release's bill of materials to hold against the list
# of what may be linked in (packaging/linked_in.cmake). Run as a script, it
# prints those files of a link map, one a line:
#
#   cmake -D MAP=<link map> -P cmake/link_map.cmake
include_guard(GLOBAL)

# sphere_link_map_files(<map> <variable>)
# Sets <variable> to the files of others' code that GNU ld's link map shows
# the program holds: each archive that a member was taken from, and each
# start-up object, by its path as the linker found it. The program's own
# files are the build's, named by relative paths.
function(sphere_link_map_files map variable)
  file(STRINGS "${map}" members REGEX "^/[^ ]+\\.a\\([^)]+\\)")
  list(TRANSFORM members REPLACE "\\.a\\(.*" ".a")
  file(STRINGS "${map}" objects REGEX "^LOAD /[^ ]+\\.o$")
  list(TRANSFORM objects REPLACE "^LOAD " "")
  set(files ${members} ${objects})
  list(REMOVE_DUPLICATES files)
  set(${variable} ${files} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  sphere_link_map_files("${MAP}" files)
  foreach(file IN LISTS files)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${file}")
  endforeach()
endif()
