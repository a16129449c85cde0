# Packages for users who do not build from source, made by cpack (or the
# package presets) from what `cmake --install` puts in place: on Linux a Debian
# package, an RPM package (where rpmbuild is installed) and a tarball, on
# Windows a zip. Each holds the licence in its platform's way.
# cmake/release.cmake makes them all, for every target.

set(SPHERE_MAINTAINER "The sphere developers <sphere@example.org>" CACHE STRING
  "Who answers for the packages, as \"Name <address>\"; packagers set their own")

set(CPACK_PACKAGE_VENDOR "The sphere developers")
set(CPACK_PACKAGE_CONTACT "${SPHERE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Volume and surface area calculator for a given radius")
set(CPACK_PACKAGE_DESCRIPTION [[
sphere asks for the radius of a sphere, reads one number from standard input
and writes the sphere's volume and surface area with two digits after the
decimal point. The arithmetic is IEEE 754 double precision in a fixed order,
so the results are the same to the last bit on every processor.]])
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)
# Which parts of the install each kind of package holds.
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/package_contents.cmake")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CPACK_PACKAGE_FILE_NAME sphere-${PROJECT_VERSION}-windows-x86)
  else()
    set(CPACK_PACKAGE_FILE_NAME sphere-${PROJECT_VERSION}-windows-x64)
  endif()
else()
  include(${CMAKE_CURRENT_LIST_DIR}/packaging_linux.cmake)
endif()

include(CPack)
