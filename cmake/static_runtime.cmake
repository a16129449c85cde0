# sphere_link_runtime_statically(<target>)
#
# Links the C and C++ runtimes into <target>, so that it starts without the
# dynamic loader relocating shared libraries (nearly all of a run's cost) and,
# on Windows, needs no runtime DLLs beside it. On Linux the program stays
# position-independent (-static-pie) where the toolchain can do that, with its
# relative relocations packed where the linker and C library know how. Where no
# static link works, for example without a static C library, the default link
# is kept and a status message says so. SPHERE_RUNTIME_LINK is set to the
# linker flag that was used, if any.

include(CheckCXXSourceCompiles)

# What each check builds: a program that uses the C++ runtime as sphere does.
set(sphere_runtime_probe "#include <iostream>\nint main() { std::cout << 1.5; }\n")

function(sphere_link_runtime_statically target)
  if(MSVC)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    return()
  endif()

  if(MINGW)
    set(candidates "-static")
  else()
    set(candidates "-static-pie" "-static")
  endif()

  foreach(flag IN LISTS candidates)
    string(MAKE_C_IDENTIFIER "SPHERE_LINKS_${flag}" result)
    set(CMAKE_REQUIRED_LINK_OPTIONS "${flag}")
    set(CMAKE_REQUIRED_FLAGS "-fPIE")
    check_cxx_source_compiles("${sphere_runtime_probe}" ${result})
    if(${result})
      target_link_options(${target} PRIVATE ${flag})
      set(SPHERE_RUNTIME_LINK ${flag} PARENT_SCOPE)
      if(flag STREQUAL "-static-pie")
        sphere_pack_relative_relocations(${target})
      endif()
      return()
    endif()
  endforeach()
  message(STATUS "No static runtime link works with this toolchain: ${target} is linked dynamically")
endfunction()

# A position-independent program relocates itself as it starts, which is the
# largest part of a static PIE's start-up; packed relative relocations (GNU ld
# 2.38 or newer) make that much cheaper. Only glibc 2.36 or newer can start
# such a program, and a linker that does not know the option for a processor
# ignores it with a warning, so either leaves the link as it is.
function(sphere_pack_relative_relocations target)
  set(CMAKE_REQUIRED_LINK_OPTIONS -static-pie LINKER:-z,pack-relative-relocs)
  set(CMAKE_REQUIRED_FLAGS "-fPIE")
  check_cxx_source_compiles("${sphere_runtime_probe}
    #if !defined(__GLIBC__) || __GLIBC__ * 100 + __GLIBC_MINOR__ < 236
    #error \"this C library cannot start a program with packed relocations\"
    #endif
  " SPHERE_PACKS_RELATIVE_RELOCATIONS FAIL_REGEX "pack-relative-relocs ignored" "unknown -z value")
  if(SPHERE_PACKS_RELATIVE_RELOCATIONS)
    target_link_options(${target} PRIVATE LINKER:-z,pack-relative-relocs)
  endif()
endfunction()
