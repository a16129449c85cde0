# The Linux packages, read by packaging.cmake: a tarball, a Debian package and,
# where rpmbuild is installed, an RPM package, each named for its processor.

# Named with Debian's name for the processor, which tells the two 32-bit ARM
# kinds apart.
if(SPHERE_TARGET)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${SPHERE_TARGET_${SPHERE_TARGET}_deb})
  set(CPACK_RPM_PACKAGE_ARCHITECTURE ${SPHERE_TARGET_${SPHERE_TARGET}_rpm})
  set(CPACK_PACKAGE_FILE_NAME sphere-${PROJECT_VERSION}-linux-${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
endif()

set(CPACK_GENERATOR DEB TGZ)
find_program(RPMBUILD rpmbuild)
if(RPMBUILD)
  list(APPEND CPACK_GENERATOR RPM)
endif()

# The tarball: the program and its manual page, with the licence, the notices
# of what is linked in, and README.
install(FILES LICENSE README.md ${SPHERE_NOTICES} DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)

# Debian: sphere_<version>_<architecture>.deb, the licences in Debian's
# machine-readable copyright format and the changes in Debian's changelog
# format, as Debian's policy and its checker, lintian, want them.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
# dpkg-shlibdeps cannot see the libraries of a cross toolchain, so the
# dependencies are read from the program itself when it is packaged
# (package_contents.cmake).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_SPHERE_READELF ${CMAKE_READELF})
set(CPACK_SPHERE_PROGRAM ${PROJECT_BINARY_DIR}/sphere)

# A text as a field of the copyright format wants it: each line indented,
# empty lines written as ".".
function(sphere_copyright_field text variable)
  string(STRIP "${text}" text)
  # Twice, since one pass leaves every other line of a run of empty lines.
  string(REGEX REPLACE "\n\n" "\n.\n" text "${text}")
  string(REGEX REPLACE "\n\n" "\n.\n" text "${text}")
  string(REGEX REPLACE "([^\n]+)" " \\1" text "${text}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()
# The licence's text, less its title and copyright line.
file(READ LICENSE license_text)
string(REGEX REPLACE "^MIT License\n\nCopyright [^\n]*\n\n" "" license_text "${license_text}")
sphere_copyright_field("${license_text}" license_text)
# The licences of what the program holds of others' code that ask anything
# of it (packaging/linked_in.cmake), as Debian's copyright files and as SPDX
# name them.
set(linked_in_licences "")
set(rpm_licences MIT)
foreach(code IN LISTS SPHERE_NOTICED_CODE)
  if(sphere_code_${code}_debian)
    list(APPEND linked_in_licences "${sphere_code_${code}_debian}")
    list(APPEND rpm_licences "${sphere_code_${code}_licence}")
  endif()
endforeach()
list(JOIN linked_in_licences " and " linked_in_licences)
set(debian_doc ${CMAKE_CURRENT_BINARY_DIR}/debian)
configure_file(packaging/debian/copyright.in ${debian_doc}/copyright @ONLY)
sphere_gzip(debian_changelog packaging/debian/changelog ${debian_doc})
install(FILES ${debian_doc}/copyright ${debian_doc}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian
        EXCLUDE_FROM_ALL)

# RPM: sphere-<version>-1.<architecture>.rpm, the licence marked as such,
# owning no directory that other packages share, and the same bytes from the
# same sources: no build host, the build time and file times taken from
# SOURCE_DATE_EPOCH.
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
# The program's licence, and those of what it holds that ask anything of it.
list(JOIN rpm_licences " AND " CPACK_RPM_PACKAGE_LICENSE)
set(CPACK_RPM_PACKAGE_GROUP "Applications/Engineering")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
install(FILES LICENSE ${SPHERE_NOTICES} DESTINATION ${CMAKE_INSTALL_DATADIR}/licenses/sphere COMPONENT rpm
        EXCLUDE_FROM_ALL)
set(CPACK_RPM_USER_FILELIST "%license /usr/${CMAKE_INSTALL_DATADIR}/licenses/sphere/LICENSE"
                            "%license /usr/${CMAKE_INSTALL_DATADIR}/licenses/sphere/NOTICES")
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1 /usr/share/licenses)
set(CPACK_RPM_SPEC_MORE_DEFINE
    "\
%define packager ${SPHERE_MAINTAINER}
%define _build_id_links none
%define _buildhost reproducible
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1")
