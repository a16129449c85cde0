# Read by cpack for each kind of package it makes: which parts of the install
# the package holds, and, for the Debian package, what it depends on
# (debian_depends.cmake). Every package holds the program and its manual page, and
# the licences in its own way: the Debian package in Debian's copyright file,
# with Debian's changelog, the RPM package as its licence files, the archives
# as LICENSE and the notices of what is linked in beside README.md.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(licence debian)
elseif(CPACK_GENERATOR STREQUAL "RPM")
  set(licence rpm)
else()
  set(licence archive)
endif()
list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 build)
set(CPACK_INSTALL_CMAKE_PROJECTS ${build} sphere program / ${build} sphere ${licence} /)

# The Debian package's dependencies.
if(CPACK_GENERATOR STREQUAL "DEB")
  include(${CMAKE_CURRENT_LIST_DIR}/debian_depends.cmake)
endif()
