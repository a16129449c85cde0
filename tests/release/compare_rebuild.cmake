# Checks how a rebuild compares its files with the published ones, against a
# table of small releases made here: each file's verdict, as the JSON that it
# writes for machines says it, and whether the rebuild fails.
#
#   cmake -D WORK=<scratch folder> -P tests/release/compare_rebuild.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../release/host/compare_rebuild.cmake)
file(REMOVE_RECURSE "${WORK}")

# The records: as published, from a snapshot (its mirror and date alone
# differ), and of another commit.
set(record
    "Format: 1.0\nSource: sphere\nVersion: 1.0.0\nCommit: 0123abc\nSource-Date-Epoch: 1796856989\n"
    "Build-Architecture: amd64\nBuild-Suite: bookworm\nBuild-Mirror: http://deb.debian.org/debian\n"
    "Build-Mirror-Date: Sat, 05 Dec 2026 08:00:00 UTC\nBuild-Environment:\n g++:amd64 (= 4:12.2.0-3)\n")
string(CONCAT record ${record})
string(REPLACE "http://deb.debian.org/debian\nBuild-Mirror-Date: Sat, 05"
               "http://snapshot.debian.org/archive/debian/20261206T000000Z\nBuild-Mirror-Date: Sun, 06" snapshot
               "${record}")
string(REPLACE "0123abc" "4567def" other_commit "${record}")

# Writes each <name>:<content> of <files> into <folder>, and SHA256SUMS over
# them; a content @name@ is that record.
function(write_release folder files)
  file(MAKE_DIRECTORY "${folder}")
  string(REPLACE "," ";" files "${files}")
  set(sums "")
  foreach(file IN LISTS files)
    string(REGEX MATCH "^[^:]+" name "${file}")
    string(REGEX REPLACE "^[^:]+:" "" content "${file}")
    if(content MATCHES "^@(.+)@$")
      set(content "${${CMAKE_MATCH_1}}")
    endif()
    file(WRITE "${folder}/${name}" "${content}")
    file(SHA256 "${folder}/${name}" sum)
    string(APPEND sums "${sum}  ${name}\n")
  endforeach()
  file(WRITE "${folder}/SHA256SUMS" "${sums}")
endfunction()

# <published files>|<rebuilt files>|<targets of a rebuild of some alone>|
# <signatures' verdicts, &-separated>|<file>=<its verdict>, ...|<fails>
# cmake-format: off
foreach(row IN ITEMS
    "a.deb:1,b.deb:2|a.deb:1,b.deb:2|||a.deb=identical,b.deb=identical,SHA256SUMS=identical|FALSE"
    "a.deb:1,b.deb:2|a.deb:1,b.deb:3|||a.deb=identical,b.deb=different,SHA256SUMS=different|TRUE"
    "a.deb:1,b.deb:2|a.deb:1|||b.deb=extra,SHA256SUMS=different|TRUE"
    "a.deb:1|a.deb:1,c.deb:3|||c.deb=missing,SHA256SUMS=different|TRUE"
    "a.deb:1,b.deb:2|a.deb:1|x||a.deb=identical,b.deb=not rebuilt,SHA256SUMS=identical|FALSE"
    "a.deb:1,b.deb:2|a.deb:9|x||a.deb=different,b.deb=not rebuilt,SHA256SUMS=different|TRUE"
    "a.rpm:1,b.zip:2|a.rpm:1,b.zip:2|||a.rpm=identical,b.zip=identical|FALSE"
    "a.deb:1,S.asc:s|a.deb:1,S.asc:s||S.asc: good, by the key|S.asc=identical|FALSE"
    "a.deb:1,S.asc:s|a.deb:1|x|S.asc: bad: it signs another text|S.asc=not rebuilt|TRUE"
    "a.rpm:1|a.rpm:1||a.rpm: bad: NOT OK|a.rpm=identical|TRUE"
    "a.rpm:1,S.asc:s|a.rpm:1,S.asc:s||S.asc: good, by the key&a.rpm: bad: NOT OK|S.asc=identical,a.rpm=identical|TRUE"
    "a.deb:1,r.buildinfo:@record@|a.deb:1,r.buildinfo:@snapshot@|||r.buildinfo=identical,SHA256SUMS=identical|FALSE"
    "a.deb:1,r.buildinfo:@record@|a.deb:1,r.buildinfo:@other_commit@|||r.buildinfo=different,SHA256SUMS=different|TRUE")
# cmake-format: on
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 published)
  list(GET row 1 made)
  list(GET row 2 partial)
  list(GET row 3 verdicts)
  string(REPLACE "&" ";" verdicts "${verdicts}")
  list(GET row 4 expected)
  list(GET row 5 fails)
  file(REMOVE_RECURSE "${WORK}")
  write_release("${WORK}/release" "${published}")
  write_release("${WORK}/rebuilt" "${made}")
  sphere_compare_rebuild(RELEASE "${WORK}/release" REBUILT "${WORK}/rebuilt" RECORD "${WORK}/release/r.buildinfo" WORK
                         "${WORK}" PARTIAL ${partial} VERDICTS ${verdicts} FAILED failed)
  set(case "${published} rebuilt as ${made}")
  if(NOT failed STREQUAL fails)
    message(SEND_ERROR "${case}: fails ${failed}, not ${fails}")
  endif()

  # Each file in the JSON, with the sum of the file the rebuild made, or null.
  file(READ "${WORK}/rebuild.json" json)
  string(JSON verdict GET "${json}" verdict)
  if(fails AND NOT verdict STREQUAL "different" OR NOT fails AND NOT verdict STREQUAL "identical")
    message(SEND_ERROR "${case}: the JSON's verdict is ${verdict}")
  endif()
  string(JSON count LENGTH "${json}" files)
  math(EXPR last "${count} - 1")
  set(verdicts_of "")
  foreach(index RANGE ${last})
    string(JSON name GET "${json}" files ${index} name)
    string(JSON verdict GET "${json}" files ${index} verdict)
    string(JSON rebuilt_sum GET "${json}" files ${index} rebuilt_sha256)
    if(EXISTS "${WORK}/rebuilt/${name}")
      file(SHA256 "${WORK}/rebuilt/${name}" sum)
    else()
      set(sum "")
    endif()
    if(NOT rebuilt_sum STREQUAL sum)
      message(SEND_ERROR "${case}: ${name}'s rebuilt SHA-256 is \"${rebuilt_sum}\", not \"${sum}\"")
    endif()
    list(APPEND verdicts_of "${name}=${verdict}")
  endforeach()
  string(REPLACE "," ";" expected "${expected}")
  foreach(pair IN LISTS expected)
    if(NOT pair IN_LIST verdicts_of)
      message(SEND_ERROR "${case}: no ${pair} among ${verdicts_of}")
    endif()
  endforeach()
endforeach()
