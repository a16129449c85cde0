# Checks what a rebuild takes a published signature on, each against a table
# over small files made here: what an RPM package's signature covers, and
# whether a published Windows program, its signature removed, is the rebuilt
# one in every byte that its signature covers.
#
#   cmake -D WORK=<scratch folder> -P tests/release/signed_content.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/signed_content.cmake)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Writes <file> with the bytes given in hexadecimal, through printf's octal
# escapes, which every sh has.
function(write_bytes file hex)
  string(REGEX MATCHALL ".." bytes "${hex}")
  set(escaped "")
  foreach(byte IN LISTS bytes)
    math(EXPR value "0x${byte}")
    math(EXPR high "${value} / 64")
    math(EXPR middle "${value} / 8 % 8")
    math(EXPR low "${value} % 8")
    string(APPEND escaped "\\${high}${middle}${low}")
  endforeach()
  execute_process(COMMAND sh -c "printf \"$1\" >\"$2\"" sh "${escaped}" "${file}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Could not write ${file}")
  endif()
endfunction()

# <n> bytes of <byte>, in hexadecimal.
function(repeat byte n variable)
  string(REPEAT "${byte}" ${n} bytes)
  set(${variable} "${bytes}" PARENT_SCOPE)
endfunction()

# An RPM package: <entries>|<size of their data>|<padding to 8 bytes>, its
# lead and signature header then what the signature covers. The numbers are
# big-endian; 0x10 entries and 0x100 bytes catch one read the other way.
# cmake-format: off
foreach(row IN ITEMS "0|0|0" "1|3|5" "2|8|0" "16|256|0" "0|1|7")
# cmake-format: on
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 entries)
  list(GET row 1 size)
  list(GET row 2 padding)
  repeat(ed 96 lead)
  math(EXPR entries_hex "${entries}" OUTPUT_FORMAT HEXADECIMAL)
  math(EXPR size_hex "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REGEX REPLACE "^0x" "00000000" entries_hex "${entries_hex}")
  string(REGEX REPLACE "^0x" "00000000" size_hex "${size_hex}")
  string(REGEX MATCH "........$" entries_hex "${entries_hex}")
  string(REGEX MATCH "........$" size_hex "${size_hex}")
  math(EXPR body "16 * ${entries} + ${size} + ${padding}")
  repeat(ab ${body} signature)
  set(covered "8eade801000000000000000500c0ffee")
  write_bytes("${WORK}/package.rpm" "${lead}8eade80100000000${entries_hex}${size_hex}${signature}${covered}")
  sphere_rpm_signed_content("${WORK}/package.rpm" content)
  if(NOT content STREQUAL covered)
    message(SEND_ERROR "An RPM package of ${entries} signature entries, ${size} bytes of their data: "
                       "its signature covers \"${content}\", not \"${covered}\"")
  endif()
endforeach()

# A Windows program: <where its PE header starts>|<what the rebuild made of
# it>|<the published one, signature removed>|<alike>. A change is
# <offset>=<byte> (decimal offsets), or +<bytes> at the end, or -<n> bytes off
# it; the checksum stands 88 bytes into the PE header.
# cmake-format: off
foreach(row IN ITEMS
    "64|||TRUE"
    "64||152=11|TRUE"
    "64||155=11|TRUE"
    "128||216=11|TRUE"
    "64||+00000000000000|TRUE"
    "64||+0000000000000000|FALSE"
    "64||+0000000000000001|FALSE"
    "64||+01|FALSE"
    "64||151=11|FALSE"
    "64||156=11|FALSE"
    "128||152=11|FALSE"
    "64||-1|FALSE"
    "64|+00|-0|FALSE")
# cmake-format: on
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 pe)
  list(GET row 1 ours)
  list(GET row 2 theirs)
  list(GET row 3 expected)
  # 256 bytes, each its own offset, with the PE header's place at 0x3c.
  set(base "")
  foreach(offset RANGE 255)
    math(EXPR byte "${offset}" OUTPUT_FORMAT HEXADECIMAL)
    string(REGEX REPLACE "^0x(.)$" "0x0\\1" byte "${byte}")
    string(SUBSTRING "${byte}" 2 2 byte)
    string(APPEND base "${byte}")
  endforeach()
  math(EXPR pe_hex "${pe}" OUTPUT_FORMAT HEXADECIMAL)
  string(REGEX REPLACE "^0x(.)$" "0x0\\1" pe_hex "${pe_hex}")
  string(SUBSTRING "${pe_hex}" 2 2 pe_hex)
  string(SUBSTRING "${base}" 0 120 before)
  string(SUBSTRING "${base}" 128 -1 after)
  set(base "${before}${pe_hex}000000${after}")
  foreach(side IN ITEMS ours theirs)
    set(bytes "${base}")
    set(change "${${side}}")
    if(change MATCHES "^([0-9]+)=(..)$")
      math(EXPR at "${CMAKE_MATCH_1} * 2")
      string(SUBSTRING "${bytes}" 0 ${at} before)
      math(EXPR at "${at} + 2")
      string(SUBSTRING "${bytes}" ${at} -1 after)
      set(bytes "${before}${CMAKE_MATCH_2}${after}")
    elseif(change MATCHES "^\\+(.*)$")
      string(APPEND bytes "${CMAKE_MATCH_1}")
    elseif(change MATCHES "^-([0-9]+)$")
      string(LENGTH "${bytes}" length)
      math(EXPR length "${length} - 2 * ${CMAKE_MATCH_1}")
      string(SUBSTRING "${bytes}" 0 ${length} bytes)
    endif()
    write_bytes("${WORK}/${side}.exe" "${bytes}")
  endforeach()
  sphere_pe_signed_alike("${WORK}/theirs.exe" "${WORK}/ours.exe" alike)
  if(NOT alike STREQUAL expected)
    message(SEND_ERROR "A program whose PE header is at ${pe}, rebuilt \"${ours}\", published \"${theirs}\": "
                       "alike ${alike}, not ${expected}")
  endif()
endforeach()
