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

# The Debian package depends on the shared libraries the program needs, as
# dpkg-shlibdeps would write it from their symbols files: each package at the
# newest version among the symbols the program takes from it. Debian's
# symbols files give glibc's symbols their version's number (GLIBC_2.34:
# libc6 2.34), and libgcc_s's the GCC release that brought them (GCC_4.2.0:
# 4.2, GCC_7.0.0: 7), which is libgcc-s1's version too.
if(CPACK_GENERATOR STREQUAL "DEB")
  execute_process(COMMAND ${CPACK_SPHERE_READELF} --version-info --wide ${CPACK_SPHERE_PROGRAM}
    OUTPUT_VARIABLE versions COMMAND_ERROR_IS_FATAL ANY)
  set(depends "")
  foreach(library IN ITEMS GLIBC GCC)
    string(REGEX MATCHALL "Name: ${library}_[0-9.]+" needed "${versions}")
    if(NOT needed)
      continue()
    endif()
    list(TRANSFORM needed REPLACE "Name: ${library}_" "")
    list(SORT needed COMPARE NATURAL)
    list(POP_BACK needed newest)
    if(library STREQUAL "GLIBC")
      list(APPEND depends "libc6 (>= ${newest})")
    else()
      string(REGEX REPLACE "^([0-9]+\\.[0-9]+)\\.0$" "\\1" newest "${newest}")
      string(REGEX REPLACE "^([5-9]|[1-9][0-9]+)\\.0$" "\\1" newest "${newest}")
      string(REGEX MATCH "libgcc_s\\.so\\.([0-9]+)" soname "${versions}")
      list(APPEND depends "libgcc-s${CMAKE_MATCH_1} (>= ${newest})")
    endif()
  endforeach()
  list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
