# Whose code a program may hold besides its own, and under which licence: the
# one list that the notices (notices.cmake), Debian's copyright file
# (packaging_linux.cmake), the linked-in test and the release's bill of
# materials (release/sbom.py) are all made from. Run as a script, it prints
# the list for the release tools, a line for each library and each code, its
# fields parted by tabs: "library", its name and its codes (comma-separated);
# "code", its name, its licence and what it is.
#
#   cmake -P packaging/linked_in.cmake
#
# Each line: a library or start-up object that a link map can show, by its
# file name less .a or .o, and whose code it is. crti and crtn are the C
# library's on most processors, and GCC's on some (RISC-V): which, the other
# files from the same Debian package tell.
set(sphere_linked_in_table
    [[
libstdc++       gcc
libgcc          gcc
libgcc_eh       gcc
crtbegin        gcc
crtbeginS       gcc
crtend          gcc
crtendS         gcc
libc_nonshared  glibc
Scrt1           glibc
crt1            glibc
crti            glibc,gcc
crtn            glibc,gcc
crt2            mingw-w64
libmingw32      mingw-w64
libmingwex      mingw-w64
libmsvcrt       mingw-w64
libkernel32     mingw-w64
libc++          llvm
libc++abi       llvm
]])

# Each one's code: what it is, its licence as an SPDX expression (LicenseRef-
# names the notices that SPDX does not list, as Debian's copyright file for
# MinGW-w64 names them) and, where its licence asks anything of a program
# that holds it, that licence as Debian's copyright files name it.
set(sphere_code_gcc_name "GCC's runtime libraries")
set(sphere_code_gcc_licence "GPL-3.0-or-later WITH GCC-exception-3.1")
set(sphere_code_gcc_debian "GPL-3+ with GCC-exception-3.1")
set(sphere_code_glibc_name "the GNU C Library's start-up files")
set(sphere_code_glibc_licence "LGPL-2.1-or-later WITH GCC-exception-2.0")
set(sphere_code_glibc_debian "")
set(sphere_code_mingw-w64_name "the MinGW-w64 runtime")
set(sphere_code_mingw-w64_licence
    "ZPL-2.1 AND LicenseRef-Lucent AND LicenseRef-David-Gay AND LicenseRef-Keith-Marshall")
set(sphere_code_mingw-w64_debian "ZPL-2.1 and Lucent and David-Gay and Keith-Marshall")
set(sphere_code_llvm_name "LLVM's C++ runtime")
set(sphere_code_llvm_licence "Apache-2.0 WITH LLVM-exception")
set(sphere_code_llvm_debian "Apache-2.0 with LLVM exception")

# Sets SPHERE_LINKED_IN to the libraries and objects of the list and, for
# each, sphere_linked_in_<library> to the codes it can be part of.
function(sphere_read_linked_in)
  set(libraries "")
  string(REGEX MATCHALL "[^\n]+" lines "${sphere_linked_in_table}")
  foreach(line IN LISTS lines)
    string(REGEX MATCHALL "[^ ]+" fields "${line}")
    list(POP_FRONT fields library codes)
    string(REPLACE "," ";" codes "${codes}")
    set(sphere_linked_in_${library} ${codes} PARENT_SCOPE)
    list(APPEND libraries ${library})
  endforeach()
  set(SPHERE_LINKED_IN ${libraries} PARENT_SCOPE)
endfunction()
sphere_read_linked_in()

# sphere_linked_in_libraries(<code>... OUTPUT <variable>)
# Sets <variable> to the libraries and objects that can be of the given codes.
function(sphere_linked_in_libraries)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" OUTPUT "")
  set(libraries "")
  foreach(library IN LISTS SPHERE_LINKED_IN)
    foreach(code IN LISTS sphere_linked_in_${library})
      if(code IN_LIST arg_UNPARSED_ARGUMENTS AND NOT library IN_LIST libraries)
        list(APPEND libraries ${library})
      endif()
    endforeach()
  endforeach()
  set(${arg_OUTPUT} ${libraries} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  set(codes "")
  foreach(library IN LISTS SPHERE_LINKED_IN)
    list(JOIN sphere_linked_in_${library} "," of)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "library\t${library}\t${of}")
    list(APPEND codes ${sphere_linked_in_${library}})
  endforeach()
  list(REMOVE_DUPLICATES codes)
  foreach(code IN LISTS codes)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo
                            "code\t${code}\t${sphere_code_${code}_licence}\t${sphere_code_${code}_name}")
  endforeach()
endif()
