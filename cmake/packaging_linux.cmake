# The Linux packages, read by packaging.cmake: a tarball, a Debian package and,
# where rpmbuild is installed, an RPM package, each named for its processor.

# Each processor the presets build for, as CMake, Debian and RPM name it. The
# files are named with Debian's names, which tell the two 32-bit ARM kinds apart.
set(processors x86_64:amd64:x86_64 aarch64:arm64:aarch64 armv7l:armhf:armv7hl
  armv5tel:armel:armv5tel i686:i386:i686 mips64:mips64el:mips64el ppc64le:ppc64el:ppc64le
  riscv64:riscv64:riscv64 s390x:s390x:s390x)
list(FILTER processors INCLUDE REGEX "^${CMAKE_SYSTEM_PROCESSOR}:")
if(processors)
  string(REPLACE ":" ";" names "${processors}")
  list(GET names 1 CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  list(GET names 2 CPACK_RPM_PACKAGE_ARCHITECTURE)
  set(CPACK_PACKAGE_FILE_NAME sphere-${PROJECT_VERSION}-linux-${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
endif()

set(CPACK_GENERATOR DEB TGZ)
find_program(RPMBUILD rpmbuild)
if(RPMBUILD)
  list(APPEND CPACK_GENERATOR RPM)
endif()

# The tarball: the program and its manual page, with the licence and README.
install(FILES LICENSE README.md DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)

# Debian: sphere_<version>_<architecture>.deb, the licence in Debian's
# machine-readable copyright format and the changes in Debian's changelog
# format, as Debian's policy and its checker, lintian, want them.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
# The dependencies are whatever dpkg-shlibdeps finds the program needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
file(READ packaging/debian/changelog debian_changelog)
if(NOT debian_changelog MATCHES "^sphere \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog does not start with version ${PROJECT_VERSION}")
endif()
# The licence's text, less its title and copyright line, as the copyright
# format wants it: each line indented, empty lines written as ".".
file(READ LICENSE license_text)
string(REGEX REPLACE "^MIT License\n\nCopyright [^\n]*\n\n" "" license_text "${license_text}")
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "([^\n]+)" " \\1" license_text "${license_text}")
set(debian_doc ${CMAKE_CURRENT_BINARY_DIR}/debian)
file(WRITE ${debian_doc}/copyright "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: sphere

Files: *
Copyright: 2026 The sphere developers
License: Expat
${license_text}")
sphere_gzip(packaging/debian/changelog ${debian_doc})
install(FILES ${debian_doc}/copyright ${debian_doc}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
# lintian's findings about the static runtime, this project's deliberate
# choice, kept quiet with the reason beside them.
set(static_reason "\
# The C and C++ runtimes are linked in on purpose: the program then starts
# faster than the same program written in C and linked dynamically, and needs
# no other package. Building with -DSPHERE_STATIC_RUNTIME=OFF links them
# dynamically instead.
")
if(SPHERE_RUNTIME_LINK STREQUAL "-static-pie")
  file(WRITE ${debian_doc}/lintian-overrides "${static_reason}\
# Linked statically and position-independent, the program looks to lintian
# like a shared library that does not link the C library. It is a program.
sphere: shared-library-lacks-prerequisites [usr/bin/sphere]
")
elseif(SPHERE_RUNTIME_LINK STREQUAL "-static")
  file(WRITE ${debian_doc}/lintian-overrides "${static_reason}\
sphere: statically-linked-binary [usr/bin/sphere]
")
endif()
if(SPHERE_RUNTIME_LINK)
  install(FILES ${debian_doc}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME sphere COMPONENT debian EXCLUDE_FROM_ALL)
endif()

# RPM: sphere-<version>-1.<architecture>.rpm, the licence marked as such,
# owning no directory that other packages share, and the same bytes from the
# same sources: no build host, the build time and file times taken from
# SOURCE_DATE_EPOCH.
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP "Applications/Engineering")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/licenses/sphere COMPONENT rpm EXCLUDE_FROM_ALL)
set(CPACK_RPM_USER_FILELIST "%license /usr/${CMAKE_INSTALL_DATADIR}/licenses/sphere/LICENSE")
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
  /usr/share/man /usr/share/man/man1 /usr/share/licenses)
set(CPACK_RPM_SPEC_MORE_DEFINE "\
%define packager ${SPHERE_MAINTAINER}
%define _build_id_links none
%define _buildhost reproducible
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1")
