# Checks what a Debian package's Depends and the glibc-floor test are worked
# out from, each against a table: the symbols a program needs, the newest of
# their versions, and libgcc's package version for one.
#
#   cmake -D WORK=<scratch folder> -P tests/release/symbol_versions.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(cmake_dir "${CMAKE_CURRENT_LIST_DIR}/../../cmake" ABSOLUTE)
include(${cmake_dir}/cpack/symbol_versions.cmake)
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
