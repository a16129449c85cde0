# Packages for users who do not build from source, made by cpack (or the
# package presets) from what `cmake --install` puts in place: on Linux a Debian
# package and a tarball, on Windows a zip.

set(CPACK_PACKAGE_VENDOR "The sphere developers")
set(CPACK_PACKAGE_CONTACT "The sphere developers")
set(CPACK_PACKAGE_DESCRIPTION [[
sphere asks for the radius of a sphere, reads one number from standard input
and writes the sphere's volume and surface area with two digits after the
decimal point. The arithmetic is IEEE 754 double precision in a fixed order,
so the results are the same to the last bit on every processor.]])
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
  # sphere_<version>_<architecture>.deb, the architecture as dpkg names it.
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  # The dependencies are whatever dpkg-shlibdeps finds the program needs.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
