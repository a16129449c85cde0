# Read by cpack for each kind of package it makes: which parts of the install
# the package holds. Every package holds the program and its manual page, and
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

# The Debian package depends on the C library the program was linked with, at
# the newest symbol version the program asks of it: every version of glibc
# that has all of them can run it, on every processor.
if(CPACK_GENERATOR STREQUAL "DEB")
  execute_process(COMMAND ${CPACK_SPHERE_READELF} --version-info --wide ${CPACK_SPHERE_PROGRAM}
    OUTPUT_VARIABLE versions COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "Name: GLIBC_[0-9.]+" needed "${versions}")
  if(needed)
    list(TRANSFORM needed REPLACE "Name: GLIBC_" "")
    list(SORT needed COMPARE NATURAL)
    list(POP_BACK needed newest)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= ${newest})")
  endif()
endif()
