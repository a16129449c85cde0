# README names the release's files as users download them, with the version
# in each name, since a name to copy must be whole; each must be this
# version's, cmake/project_facts.cmake's, or README sends users to files that
# are not there.
#
#   cmake -P tests/release/readme_version.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/project_facts.cmake)
file(READ "${CMAKE_CURRENT_LIST_DIR}/../../README.md" readme)
string(REGEX MATCHALL "sphere[-_][0-9]+\\.[0-9]+\\.[0-9]+" named "${readme}")
if(NOT named)
  message(FATAL_ERROR "README names no file of a release")
endif()
list(REMOVE_DUPLICATES named)
list(FILTER named EXCLUDE REGEX "[-_]${SPHERE_VERSION}$")
if(named)
  message(FATAL_ERROR "README names files of another version than ${SPHERE_VERSION}: ${named}")
endif()
