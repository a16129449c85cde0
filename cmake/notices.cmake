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

# GCC's C++ runtime, or LLVM's where the compiler uses libc++; libgcc either way.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("#include <ciso646>\n#ifndef _LIBCPP_VERSION\n#error\n#endif\nint main() {}\n"
  SPHERE_USES_LIBCXX)
if(SPHERE_USES_LIBCXX)
  set(SPHERE_NOTICED_LIBRARIES libc++ libc++abi libgcc libgcc_eh)
  set(cxx_runtime_notice "LLVM's C++ runtime (libc++ and libc++abi).
Copyright (c) the LLVM project's contributors. Licence: the Apache License,
version 2.0, with LLVM Exceptions, which let the parts of it that compiling
puts into a program be distributed without the licence's conditions.
https://llvm.org/LICENSE.txt

GCC's libgcc.")
else()
  set(SPHERE_NOTICED_LIBRARIES libstdc++ libgcc libgcc_eh)
  set(cxx_runtime_notice "GCC's C++ runtime (libstdc++) and libgcc.")
endif()
string(APPEND cxx_runtime_notice "
Copyright (C) Free Software Foundation, Inc. Licence: the GNU General Public
License, version 3 or later, with the GCC Runtime Library Exception, version
3.1, which permits distributing programs that hold them under terms of the
programs' own: here the MIT licence.
https://www.gnu.org/licenses/gcc-exception-3.1.html")

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
  set(runtime_notices "The program uses Windows's own C library, msvcrt.dll, which is not part of it.
It holds parts of the MinGW-w64 runtime, whose licences ask for these notices
to go with every copy of the program:")
  foreach(licence IN ITEMS ZPL-2.1 Lucent David-Gay Keith-Marshall)
    sphere_licence_notice("${SPHERE_MINGW_COPYRIGHT}" ${licence} notice)
    string(APPEND runtime_notices "\n\n---- MinGW-w64 runtime: ${licence}\n\n${notice}")
  endforeach()
  list(APPEND SPHERE_NOTICED_LIBRARIES libmingw32 libmingwex libmsvcrt libkernel32)
  set(SPHERE_NOTICES ${PROJECT_BINARY_DIR}/NOTICES.txt)
else()
  set(runtime_notices "The program uses the system's C library, the GNU C Library, as a shared
library; it is not part of the program. Like every program that uses it, the
program holds the library's small start-up files, whose licence lets them be
linked into any program and distributed without conditions.\n")
  list(APPEND SPHERE_NOTICED_LIBRARIES libc_nonshared)
  set(SPHERE_NOTICES ${PROJECT_BINARY_DIR}/NOTICES)
endif()
configure_file(packaging/NOTICES.in ${SPHERE_NOTICES} @ONLY)
