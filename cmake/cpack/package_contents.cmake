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
  # Sets <variable> to the newest symbol version <prefix>_<version> the
  # program needs, less the prefix, or to nothing.
  function(newest_needed prefix variable)
    string(REGEX MATCHALL "Name: ${prefix}_[0-9.]+" needed "${versions}")
    list(TRANSFORM needed REPLACE "Name: ${prefix}_" "")
    list(SORT needed COMPARE NATURAL)
    list(POP_BACK needed newest)
    set(${variable} "${newest}" PARENT_SCOPE)
  endfunction()
  set(depends "")
  newest_needed(GLIBC glibc)
  if(glibc)
    list(APPEND depends "libc6 (>= ${glibc})")
  endif()
  newest_needed(GCC gcc)
  if(gcc AND versions MATCHES "libgcc_s\\.so\\.([0-9]+)")
    set(package libgcc-s${CMAKE_MATCH_1})
    string(REGEX REPLACE "^([0-9]+\\.[0-9]+)\\.0$" "\\1" gcc "${gcc}")
    string(REGEX REPLACE "^([5-9]|[1-9][0-9]+)\\.0$" "\\1" gcc "${gcc}")
    list(APPEND depends "${package} (>= ${gcc})")
  endif()
  list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
