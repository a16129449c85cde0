# Read by cpack for the Debian package (package_contents.cmake): it depends on
# the shared libraries the program needs, as dpkg-shlibdeps would write it
# from their symbols files, which it cannot see in a cross toolchain: each
# package at the newest version among the symbols the program takes from it.
# Debian's symbols files give glibc's symbols their version's number
# (GLIBC_2.34: libc6 2.34), and libgcc_s's the GCC release that brought them
# (GCC_4.2.0: 4.2, GCC_7.0.0: 7), which is libgcc-s1's version too.
include(${CMAKE_CURRENT_LIST_DIR}/symbol_versions.cmake)
sphere_needed_symbols(${CPACK_SPHERE_READELF} ${CPACK_SPHERE_PROGRAM} symbols)
set(depends "")
sphere_newest_version("${symbols}" GLIBC glibc)
if(glibc)
  list(APPEND depends "libc6 (>= ${glibc})")
endif()
sphere_newest_version("${symbols}" GCC gcc)
execute_process(COMMAND ${CPACK_SPHERE_READELF} --dynamic --wide ${CPACK_SPHERE_PROGRAM} OUTPUT_VARIABLE dynamic
                COMMAND_ERROR_IS_FATAL ANY)
if(gcc AND dynamic MATCHES "libgcc_s\\.so\\.([0-9]+)")
  set(package libgcc-s${CMAKE_MATCH_1})
  sphere_libgcc_package_version(${gcc} gcc)
  list(APPEND depends "${package} (>= ${gcc})")
endif()
list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
