# What is linked into the program, and the texts its licences ask to go with
# every copy, taken from the toolchain's own copyright files so that they
# follow the toolchain. Sets:
#
#   SPHERE_NOTICES              the notices file written into the build folder:
#                               NOTICES, or NOTICES.txt for Windows
#   SPHERE_NOTICED_LIBRARIES    the libraries it covers, which alone the
#                               program may hold code of (the linked-in test)
#   SPHERE_GCC_EXCEPTION_TEXT   the GCC Runtime Library Exception's text, or a
#                               pointer to it where no copyright file has it

# sphere_toolchain_copyright(<library> <variable>)
#
# Sets <variable> to the Debian copyright file of the package that holds
# <library> as the C++ compiler links it, or to "" where dpkg does not know it.
function(sphere_toolchain_copyright library variable)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(REAL_PATH "${path}" path)
  execute_process(COMMAND dpkg-query -S "${path}"
    OUTPUT_VARIABLE owner RESULT_VARIABLE status ERROR_QUIET)
  set(copyright "")
  if(status EQUAL 0 AND owner MATCHES "^([^:,]+)")
    set(copyright /usr/share/doc/${CMAKE_MATCH_1}/copyright)
  endif()
  set(${variable} "${copyright}" PARENT_SCOPE)
endfunction()

# sphere_licence_notice(<copyright> <licence> <variable>)
#
# Sets <variable> to the notice of the first paragraph of a Debian
# machine-readable copyright file whose licence is <licence>: its Copyright
# field, then the licence's text as the file holds it.
function(sphere_licence_notice copyright licence variable)
  file(READ "${copyright}" text)
  # Each line becomes a list element; semicolons are kept apart meanwhile.
  string(ASCII 1 semicolon)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(field "")
  set(holders "")
  set(notice "")
  foreach(line IN LISTS lines)
    if(line STREQUAL "")
      if(notice)
        break()
      endif()
      set(holders "")
    elseif(line MATCHES "^([A-Za-z-]+): *(.*)$")
      set(field ${CMAKE_MATCH_1})
      if(field STREQUAL "Copyright")
        set(holders "Copyright: ${CMAKE_MATCH_2}\n")
      elseif(field STREQUAL "License" AND CMAKE_MATCH_2 STREQUAL licence)
        set(notice "${holders}\n")
        set(field notice)
      endif()
    elseif(field STREQUAL "Copyright")
      string(STRIP "${line}" line)
      string(APPEND holders "           ${line}\n")
    elseif(field STREQUAL "notice" AND line MATCHES "^ (.*)$")
      set(line "${CMAKE_MATCH_1}")
      if(line STREQUAL ".")
        set(line "")
      endif()
      string(APPEND notice "${line}\n")
    endif()
  endforeach()
  if(NOT notice)
    message(FATAL_ERROR "${copyright} has no licence ${licence}")
  endif()
  string(REPLACE "${semicolon}" ";" notice "${notice}")
  string(STRIP "${notice}" notice)
  set(${variable} "${notice}" PARENT_SCOPE)
endfunction()

# The notices are put together from the texts in packaging/notices/: GCC's
# runtime, or LLVM's C++ library where the compiler uses libc++ and GCC's
# libgcc with it, then the system's C library and what of it is linked in.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("#include <ciso646>\n#ifndef _LIBCPP_VERSION\n#error\n#endif\nint main() {}\n"
  SPHERE_USES_LIBCXX)
if(SPHERE_USES_LIBCXX)
  set(SPHERE_NOTICED_LIBRARIES libc++ libc++abi libgcc libgcc_eh)
  set(notices libc++ gcc)
  set(gcc_libraries libgcc)
else()
  set(SPHERE_NOTICED_LIBRARIES libstdc++ libgcc libgcc_eh)
  set(notices gcc)
  set(gcc_libraries "C++ runtime (libstdc++) and libgcc")
endif()

set(licence_notices "")

sphere_toolchain_copyright(libstdc++.a gcc_copyright)
set(SPHERE_GCC_EXCEPTION_TEXT "See https://www.gnu.org/licenses/gcc-exception-3.1.html\n")
if(EXISTS "${gcc_copyright}")
  file(READ "${gcc_copyright}" text)
  if(text MATCHES "GCC RUNTIME LIBRARY EXCEPTION\n.*requirements of the license of GCC\\.\n")
    set(SPHERE_GCC_EXCEPTION_TEXT "${CMAKE_MATCH_0}")
  endif()
endif()

if(MINGW)
  # The link map (sphere.map) shows what of the MinGW-w64 runtime the program
  # holds: its start-up code, msvcrt.dll's import stubs and small helpers, all
  # under the ZPL or public domain; gdtoa, its number conversion, under
  # Lucent's and David M. Gay's notices; and the formatted output of
  # mingw_pformat and mingw_vsnprintf, under Keith Marshall's.
  sphere_toolchain_copyright(libmingwex.a mingw_copyright)
  set(SPHERE_MINGW_COPYRIGHT "${mingw_copyright}" CACHE FILEPATH
    "MinGW-w64's copyright file, in Debian's machine-readable format")
  if(NOT EXISTS "${SPHERE_MINGW_COPYRIGHT}")
    message(FATAL_ERROR "The notices of MinGW-w64's runtime come from its copyright file: "
      "set SPHERE_MINGW_COPYRIGHT to it (Debian: /usr/share/doc/mingw-w64-common/copyright)")
  endif()
  list(APPEND notices mingw-w64)
  foreach(licence IN ITEMS ZPL-2.1 Lucent David-Gay Keith-Marshall)
    sphere_licence_notice("${SPHERE_MINGW_COPYRIGHT}" ${licence} notice)
    string(APPEND licence_notices "---- MinGW-w64 runtime: ${licence}\n\n${notice}\n\n")
  endforeach()
  list(APPEND SPHERE_NOTICED_LIBRARIES libmingw32 libmingwex libmsvcrt libkernel32)
  set(SPHERE_NOTICES ${PROJECT_BINARY_DIR}/NOTICES.txt)
else()
  list(APPEND notices glibc)
  list(APPEND SPHERE_NOTICED_LIBRARIES libc_nonshared)
  set(SPHERE_NOTICES ${PROJECT_BINARY_DIR}/NOTICES)
endif()
set(texts "")
foreach(name IN LISTS notices)
  file(READ packaging/notices/${name}.txt text)
  string(CONFIGURE "${text}" text @ONLY)
  string(APPEND texts "${text}\n")
endforeach()
string(STRIP "${texts}${licence_notices}" notices)
configure_file(packaging/NOTICES.in ${SPHERE_NOTICES} @ONLY)
