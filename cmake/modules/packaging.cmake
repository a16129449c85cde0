# Packages for users who do not build from source, made by cpack from what
# `cmake --install` puts in place: on Linux a Debian package, an RPM package
# (where rpmbuild is installed) and a tarball, on Windows a zip. Each holds
# the licence, and the notices of what is linked into the program, in its
# platform's way.
# The release (release/make) makes them all, for every target.

set(SPHERE_MAINTAINER "The sphere developers <sphere@example.org>"
    CACHE STRING "Who answers for the packages, as \"Name <address>\"; packagers set their own")

set(CPACK_PACKAGE_VENDOR "The sphere developers")
set(CPACK_PACKAGE_CONTACT "${SPHERE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    [[
sphere asks for the radius of a sphere, reads one number from standard input
and writes the sphere's volume and surface area with two digits after the
decimal point. The arithmetic is IEEE 754 double precision in a fixed order,
so the results are the same to the last bit on every processor.]])
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)
# Which parts of the install each kind of package holds.
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/cpack/package_contents.cmake")

# A target of the release names its packages from its line in targets.cmake.
# A cross-compiled one is built for that line's processor by its toolchain
# (cross.cmake); one built by the host's own compiler is built for the host's,
# which must be the line's.
if(SPHERE_TARGET)
  include(${PROJECT_SOURCE_DIR}/cmake/targets.cmake)
  if(NOT SPHERE_TARGET_${SPHERE_TARGET}_triplet AND NOT SPHERE_TARGET_${SPHERE_TARGET}_processor STREQUAL
                                                    CMAKE_SYSTEM_PROCESSOR)
    message(
      FATAL_ERROR "The target ${SPHERE_TARGET} is for the processor "
                  "\"${SPHERE_TARGET_${SPHERE_TARGET}_processor}\", but this build is for \"${CMAKE_SYSTEM_PROCESSOR}\""
    )
  endif()
endif()

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(SPHERE_TARGET)
    set(CPACK_PACKAGE_FILE_NAME sphere-${PROJECT_VERSION}-${SPHERE_TARGET})
  endif()
else()
  include(packaging_linux)
endif()

include(CPack)
