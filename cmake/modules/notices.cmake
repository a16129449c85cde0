# What is linked into the program, and the notices its licences ask to go with
# every copy, put together from the texts in packaging/notices/: GCC's runtime,
# or LLVM's C++ library where the compiler uses libc++ and GCC's libgcc with
# it, then the system's C library and what of it is linked in. Sets:
#
#   SPHERE_NOTICES              the notices file written into the build folder:
#                               NOTICES, or NOTICES.txt for Windows
#   SPHERE_NOTICED_CODE         whose code it covers (see packaging/linked_in.cmake)
#   SPHERE_NOTICED_LIBRARIES    the libraries and start-up objects of that code,
#                               which alone the program may hold (the linked-in test)

include(CheckCXXSourceCompiles)
check_cxx_source_compiles("#include <ciso646>\n#ifndef _LIBCPP_VERSION\n#error\n#endif\nint main() {}\n"
                          SPHERE_USES_LIBCXX)
include(${PROJECT_SOURCE_DIR}/packaging/linked_in.cmake)
if(SPHERE_USES_LIBCXX)
  set(SPHERE_NOTICED_CODE llvm gcc)
  set(notices libc++ gcc)
  set(gcc_libraries "helper routines of libgcc that the processor needs")
else()
  set(SPHERE_NOTICED_CODE gcc)
  set(notices gcc)
  set(gcc_libraries "C++ runtime (libstdc++) and the helper routines of libgcc\nthat the processor needs")
endif()

if(MINGW)
  # The link map (sphere.map) shows what of the MinGW-w64 runtime the program
  # holds: its start-up code, msvcrt.dll's import stubs and small helpers, all
  # under the ZPL or public domain; gdtoa, its number conversion, under
  # Lucent's and David M. Gay's notices; and the formatted output of
  # mingw_pformat and mingw_vsnprintf, under Keith Marshall's. Each notice is
  # as Debian's MinGW-w64 packages give it in their copyright file. All of
  # libgcc is linked in, its unwinder (libgcc_eh) too.
  set(gcc_libraries "C++ runtime (libstdc++) and libgcc")
  list(APPEND SPHERE_NOTICED_CODE mingw-w64)
  list(APPEND notices mingw-w64 mingw-w64-zpl-2.1 mingw-w64-lucent mingw-w64-david-gay mingw-w64-keith-marshall)
  set(SPHERE_NOTICES ${PROJECT_BINARY_DIR}/NOTICES.txt)
else()
  list(APPEND SPHERE_NOTICED_CODE glibc)
  list(APPEND notices glibc)
  set(SPHERE_NOTICES ${PROJECT_BINARY_DIR}/NOTICES)
endif()

sphere_linked_in_libraries(${SPHERE_NOTICED_CODE} OUTPUT SPHERE_NOTICED_LIBRARIES)

set(texts "")
foreach(name IN LISTS notices)
  file(READ packaging/notices/${name}.txt text)
  string(CONFIGURE "${text}" text @ONLY)
  string(APPEND texts "${text}\n")
endforeach()
string(STRIP "${texts}" notices)
configure_file(packaging/NOTICES.in ${SPHERE_NOTICES} @ONLY)
