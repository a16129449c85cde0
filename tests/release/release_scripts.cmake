# Checks the helpers that the release's scripts share, each against a table:
# the symbols a program needs, the newest of their versions and libgcc's
# package version for one, the layout of a table, the reading of a build
# record and what another says otherwise, the snapshot archive as of its
# date, and the one way a command runs, with what it stops on.
#
#   cmake -D WORK=<scratch folder> -P tests/release/release_scripts.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(cmake_dir "${CMAKE_CURRENT_LIST_DIR}/../../cmake" ABSOLUTE)
include(${cmake_dir}/cpack/symbol_versions.cmake)
include(${cmake_dir}/../release/in_root/build_record.cmake)
include(${cmake_dir}/table.cmake)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

function(expect what actual expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(SEND_ERROR "${what}: \"${actual}\", not \"${expected}\"")
  endif()
endfunction()

# <symbols> <prefix> <newest>: versions compare by their numbers, not as text.
# cmake-format: off
foreach(row IN ITEMS
    "strtoul@GLIBC_2.2.5,abort@GLIBC_2.34,memcpy@GLIBC_2.14|GLIBC|2.34"
    "a@GLIBC_2.9,b@GLIBC_2.17|GLIBC|2.17"
    "_Unwind_Resume@GCC_3.0,__divti3@GCC_7.0.0,x@GLIBC_2.34|GCC|7.0.0"
    "strtoul@GLIBC_2.2.5|GCC|")
# cmake-format: on
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 symbols)
  list(GET row 1 prefix)
  list(GET row 2 newest)
  string(REPLACE "," ";" symbols "${symbols}")
  sphere_newest_version("${symbols}" ${prefix} actual)
  expect("newest ${prefix} among ${symbols}" "${actual}" "${newest}")
endforeach()

# <GCC symbol version>|<libgcc-s1 version that brought it>, as Debian's
# symbols file gives them.
foreach(row IN ITEMS "3.0|3.0" "3.3.1|3.3.1" "4.2.0|4.2" "7.0.0|7" "12.0.0|12")
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 symbol)
  list(GET row 1 package)
  sphere_libgcc_package_version(${symbol} actual)
  expect("libgcc-s1 for GCC_${symbol}" "${actual}" "${package}")
endforeach()

# What a program needs, as readelf lists it: each symbol of another library
# once, with the version it needs; not what the program itself defines (@@).
file(WRITE "${WORK}/readelf" "#!/bin/sh\nexec cat \"$3\"\n")
file(CHMOD "${WORK}/readelf" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(
  WRITE "${WORK}/program"
  "Symbol table '.dynsym' contains 5 entries:\n"
  "   1: 0000000000000000     0 FUNC    GLOBAL DEFAULT  UND strtoul@GLIBC_2.2.5 (2)\n"
  "   2: 0000000000000000     0 FUNC    GLOBAL DEFAULT  UND _Unwind_Resume@GCC_3.0 (3)\n"
  "   3: 0000000000000000     0 FUNC    GLOBAL DEFAULT  UND __libc_start_main@GLIBC_2.34\n"
  "   4: 0000000000000000     0 FUNC    GLOBAL DEFAULT  UND strtoul@GLIBC_2.2.5 (2)\n"
  "   5: 0000000000004010   272 OBJECT  GLOBAL DEFAULT   25 _ZSt4cout@@GLIBCXX_3.4\n")
sphere_needed_symbols("${WORK}/readelf" "${WORK}/program" needed)
expect("the symbols needed" "${needed}" "strtoul@GLIBC_2.2.5;_Unwind_Resume@GCC_3.0;__libc_start_main@GLIBC_2.34")

# A table: each column as wide as its widest cell, empty ones too, the last
# column unpadded, after what the variable held.
set(cells a bb c dddd "" e)
set(table "Title")
sphere_table(table 3 cells)
expect("the table" "${table}" "Title\n  a     bb  c\n  dddd      e")

# A record as the release writes it, its packages one a line.
file(
  WRITE "${WORK}/sphere.buildinfo"
  "Format: 1.0\nSource: sphere\nVersion: 1.0.0\nCommit: 0123abc\n"
  "Source-Date-Epoch: 1796856989\nBuild-Architecture: amd64\nBuild-Suite: bookworm\n"
  "Build-Mirror: http://deb.debian.org/debian\nBuild-Mirror-Date: Sat, 05 Dec 2026 08:00:00 UTC\n"
  "Build-Environment:\n base-files:amd64 (= 12.4+deb12u8),\n g++:amd64 (= 4:12.2.0-3),\n tzdata:all (= 2024a-0+deb12u1)\n"
)
sphere_read_build_record("${WORK}/sphere.buildinfo" record)
# cmake-format: off
foreach(row IN ITEMS "Version|1.0.0" "Commit|0123abc" "Source_Date_Epoch|1796856989" "Build_Suite|bookworm"
    "Build_Mirror|http://deb.debian.org/debian" "Build_Mirror_Date|Sat, 05 Dec 2026 08:00:00 UTC"
    "Build_Environment|base-files:amd64=12.4+deb12u8,g++:amd64=4:12.2.0-3,tzdata:all=2024a-0+deb12u1")
# cmake-format: on
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 field)
  list(GET row 1 value)
  string(REPLACE ";" "," actual "${record_${field}}")
  expect("the record's ${field}" "${actual}" "${value}")
endforeach()

# What a rebuild's record says otherwise: <the record's text>|<the rebuild's>|
# <what differs>. The mirror alone may differ, as a snapshot's does.
file(READ "${WORK}/sphere.buildinfo" recorded)
# cmake-format: off
foreach(row IN ITEMS
    "deb.debian.org|snapshot.debian.org|"
    "Commit: 0123abc|Commit: 4567def|Commit 4567def, recorded 0123abc"
    "g++:amd64 (= 4:12.2.0-3)|g++:amd64 (= 4:12.2.0-4)|recorded g++:amd64=4:12.2.0-3, rebuilt with g++:amd64=4:12.2.0-4"
    "tzdata:all (= 2024a-0+deb12u1)|tzdata:all (= 2024a-0+deb12u1),\n zlib1g:amd64 (= 1:1.2.13)|rebuilt with zlib1g:amd64=1:1.2.13")
# cmake-format: on
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 from)
  list(GET row 1 to)
  list(GET row 2 differences)
  string(REPLACE "${from}" "${to}" rebuilt "${recorded}")
  file(WRITE "${WORK}/rebuilt.buildinfo" "${rebuilt}")
  sphere_build_record_differences("${WORK}/sphere.buildinfo" "${WORK}/rebuilt.buildinfo" actual)
  expect("what a rebuild's record says otherwise, ${from} made ${to}" "${actual}" "${differences}")
endforeach()

# The snapshot archive as of a record's mirror date: <date>|<its address>.
foreach(row IN ITEMS "Sat, 05 Dec 2026 08:00:00 UTC|20261205T080000Z" "Thu, 1 Jan 2026 23:59:09 UTC|20260101T235909Z"
                     "Fri, 31 Oct 2025 07:05:00 UTC|20251031T070500Z")
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 date)
  list(GET row 1 time)
  sphere_snapshot_mirror("${date}" actual)
  expect("the snapshot as of ${date}" "${actual}" "http://snapshot.debian.org/archive/debian/${time}")
endforeach()

# sphere_run: what it gives back, and the files it makes readable by all.
include(${cmake_dir}/run_command.cmake)
sphere_run(sh -c "echo out; echo said >&2" OUTPUT output)
expect("standard output" "${output}" "out")
sphere_run(sh -c "umask 077 && touch private; umask" IN "${WORK}" QUIET)
sphere_run(sh -c "umask; touch made" IN "${WORK}" OUTPUT mask)
expect("the umask a command runs under" "${mask}" "0022")
sphere_run(ls -l made IN "${WORK}" OUTPUT mode)
string(SUBSTRING "${mode}" 0 10 mode)
expect("the mode of a file it made" "${mode}" "-rw-r--r--")

# What stops a script, run on its own: <script>|<what it must say>.
# cmake-format: off
foreach(row IN ITEMS
    "sphere_run(sh -c \"echo why >&2 && exit 3\" QUIET FAILURE \"No release: it failed\")|No release: it failed: sh -c .* failed .3. .*why"
    "sphere_run(false OUTPUT nothing)|false failed .1."
    "file(WRITE \"${WORK}/bare\" \"Version: 1.0.0\\n\")\nsphere_read_build_record(\"${WORK}/bare\" r)|records no Commit"
    "sphere_snapshot_mirror(\"2026-12-05 08:00:00\" address)|is not the date of a Release file")
# cmake-format: on
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 code)
  list(GET row 1 message)
  file(WRITE "${WORK}/stops.cmake"
       "include(${cmake_dir}/run_command.cmake)\ninclude(${cmake_dir}/../release/in_root/build_record.cmake)\n"
       "${code}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -P "${WORK}/stops.cmake" RESULT_VARIABLE status ERROR_VARIABLE said)
  string(REGEX REPLACE "[ \n]+" " " said "${said}")
  if(status EQUAL 0 OR NOT said MATCHES "${message}")
    message(SEND_ERROR "${code}\nmust stop, saying /${message}/; it said (${status}): ${said}")
  endif()
endforeach()
