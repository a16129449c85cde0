# The project's facts, each stated once: the build (CMakeLists.txt) reads them
# here, and the release tools ask for them, running this file as a script,
# which prints each as NAME=value:
#
#   cmake -P cmake/project_facts.cmake

# The version, which both changelogs must begin with.
set(SPHERE_VERSION 1.0.0)

# The oldest glibc the Linux programs run on, which the glibc-floor test holds
# them to, and the first whose headers they cannot be built against; why
# each, doc/development.md says (Linking).
set(SPHERE_GLIBC_FLOOR 2.34)
set(SPHERE_GLIBC_TOO_NEW 2.38)

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  foreach(fact IN ITEMS SPHERE_VERSION SPHERE_GLIBC_FLOOR SPHERE_GLIBC_TOO_NEW)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${fact}=${${fact}}")
  endforeach()
endif()
