# The record of the build root that a release was made in, in the fields of
# Debian's .buildinfo files: what a rebuild (rebuild.cmake) needs to make the
# same root and the same release again.
#
#   Source, Version        the release
#   Commit                 the commit it was made of
#   Source-Date-Epoch      SOURCE_DATE_EPOCH, every time stamp in it
#   Build-Architecture     the root's architecture
#   Build-Suite            the Debian release the root is of
#   Build-Mirror           the archive it was made from
#   Build-Mirror-Date      the Date of that archive's Release file
#   Build-Environment      every package in the root, as name:architecture
#                          (= version), one a line
#
#   sphere_write_build_record(OUTPUT <file> VERSION <version> COMMIT <commit>)
#   sphere_read_build_record(<file> <prefix>)
#   sphere_build_record_differences(<record> <other record> <variable>)
#   sphere_snapshot_mirror(<Build-Mirror-Date> <variable>)
#
# Written in the root, from what apt and dpkg there say; read on any host,
# where it sets <prefix>_<field> for each field, with the dashes of its name
# made underscores (<prefix>_Build_Environment: the packages, as a list of
# name:architecture=version). sphere_build_record_differences sets <variable>
# to what the other record says otherwise than the first, as a rebuild names
# it: each field but the mirror, and each package that one root holds at a
# version, or at all, where the other does not; to nothing where they agree.
# sphere_snapshot_mirror sets <variable> to the address of Debian's snapshot
# archive as of the mirror's recorded date, which has the packages at their
# recorded versions after the mirror has moved on.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/run_command.cmake)

function(sphere_write_build_record)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "OUTPUT;VERSION;COMMIT" "")
  file(STRINGS /etc/apt/sources.list source REGEX "^deb ")
  if(NOT source MATCHES "^deb ([^ ]+) ([^ ]+) ")
    message(FATAL_ERROR "The build root's /etc/apt/sources.list names no archive")
  endif()
  set(mirror ${CMAKE_MATCH_1})
  set(suite ${CMAKE_MATCH_2})
  file(GLOB release "/var/lib/apt/lists/*_dists_${suite}_InRelease")
  file(STRINGS "${release}" date REGEX "^Date: ")
  string(REGEX REPLACE "^Date: " "" date "${date}")
  sphere_run(dpkg --print-architecture OUTPUT architecture)
  sphere_run(dpkg-query -W "-f=\${db:Status-Abbrev} \${Package}:\${Architecture} (= \${Version})\n" OUTPUT installed)
  string(REGEX MATCHALL "ii  [^\n]+" packages "${installed}")
  list(TRANSFORM packages REPLACE "^ii  " " ")
  list(SORT packages)
  list(JOIN packages ",\n" packages)
  file(
    WRITE "${arg_OUTPUT}"
    "Format: 1.0
Source: sphere
Version: ${arg_VERSION}
Commit: ${arg_COMMIT}
Source-Date-Epoch: $ENV{SOURCE_DATE_EPOCH}
Build-Architecture: ${architecture}
Build-Suite: ${suite}
Build-Mirror: ${mirror}
Build-Mirror-Date: ${date}
Build-Environment:
${packages}
")
endfunction()

function(sphere_read_build_record file prefix)
  file(STRINGS "${file}" lines)
  set(field "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z-]+): ?(.*)$")
      string(REPLACE "-" "_" field "${CMAKE_MATCH_1}")
      set(${prefix}_${field} "${CMAKE_MATCH_2}")
    elseif(field STREQUAL "Build_Environment" AND line MATCHES "^ ([^ ]+) \\(= ([^)]+)\\),?$")
      list(APPEND ${prefix}_Build_Environment "${CMAKE_MATCH_1}=${CMAKE_MATCH_2}")
    endif()
  endforeach()
  foreach(field IN ITEMS Version Commit Source_Date_Epoch Build_Architecture Build_Suite Build_Mirror Build_Environment)
    if(NOT ${prefix}_${field})
      message(FATAL_ERROR "${file} records no ${field}")
    endif()
    set(${prefix}_${field} "${${prefix}_${field}}" PARENT_SCOPE)
  endforeach()
  set(${prefix}_Build_Mirror_Date "${${prefix}_Build_Mirror_Date}" PARENT_SCOPE)
endfunction()

function(sphere_build_record_differences record other variable)
  sphere_read_build_record("${record}" recorded)
  sphere_read_build_record("${other}" made)
  set(differences "")
  foreach(field IN ITEMS Version Commit Source_Date_Epoch Build_Architecture Build_Suite Build_Mirror_Date)
    if(NOT made_${field} STREQUAL recorded_${field})
      list(APPEND differences "${field} ${made_${field}}, recorded ${recorded_${field}}")
    endif()
  endforeach()
  set(only_recorded ${recorded_Build_Environment})
  list(REMOVE_ITEM only_recorded ${made_Build_Environment})
  set(only_made ${made_Build_Environment})
  list(REMOVE_ITEM only_made ${recorded_Build_Environment})
  foreach(package IN LISTS only_recorded)
    list(APPEND differences "recorded ${package}")
  endforeach()
  foreach(package IN LISTS only_made)
    list(APPEND differences "rebuilt with ${package}")
  endforeach()
  list(JOIN differences ", " differences)
  set(${variable} "${differences}" PARENT_SCOPE)
endfunction()

function(sphere_snapshot_mirror date variable)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  if(NOT date MATCHES "^[A-Z][a-z][a-z], ([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9]+):([0-9]+):([0-9]+) UTC$")
    message(FATAL_ERROR "\"${date}\" is not the date of a Release file")
  endif()
  set(day ${CMAKE_MATCH_1})
  set(year ${CMAKE_MATCH_3})
  list(FIND months ${CMAKE_MATCH_2} month)
  math(EXPR month "${month} + 1")
  set(time "${CMAKE_MATCH_4}${CMAKE_MATCH_5}${CMAKE_MATCH_6}")
  string(REGEX REPLACE "^([0-9])$" "0\\1" day "${day}")
  string(REGEX REPLACE "^([0-9])$" "0\\1" month "${month}")
  set(${variable} "http://snapshot.debian.org/archive/debian/${year}${month}${day}T${time}Z" PARENT_SCOPE)
endfunction()
