# Both changelogs must begin with the project's version, so that no release
# goes out with the changes of another: CHANGELOG.md with a "## <version>
# (<date>)" heading, the Debian changelog with its "sphere (<version>)" line.
# Sets SPHERE_RELEASE_DATE to that version's date, for the manual page.
string(REPLACE "." "\\." version "${PROJECT_VERSION}")

file(STRINGS CHANGELOG.md heading REGEX "^## " LIMIT_COUNT 1)
if(NOT heading MATCHES "^## ${version} \\(([0-9]+-[0-9]+-[0-9]+)\\)$")
  message(FATAL_ERROR "CHANGELOG.md does not begin with version ${PROJECT_VERSION} and its date: ${heading}")
endif()
set(SPHERE_RELEASE_DATE ${CMAKE_MATCH_1})

file(STRINGS packaging/debian/changelog entry LIMIT_COUNT 1)
if(NOT entry MATCHES "^sphere \\(${version}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog does not begin with version ${PROJECT_VERSION}: ${entry}")
endif()
