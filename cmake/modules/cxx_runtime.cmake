# sphere_link_cxx_runtime_statically(<target>)
#
# Links the compiler's C++ runtime into <target>, so that the program runs
# whatever C++ runtime the system has or lacks. The system's C library stays
# shared: glibc on Linux, as distributions require, and msvcrt.dll on
# Windows, where -static links MinGW-w64's libraries in so that no DLL has to
# go beside the program; with MSVC, its static runtime. Where the toolchain
# cannot link so, the default link is kept and a message says so.
#
# On Linux, libstdc++ is linked in (-static-libstdc++) with libgcc's helper
# routines, but the unwinder that exceptions need is the system's libgcc_s,
# which every glibc system has: GCC 12's own, linked in, would ask glibc for
# _dl_find_object, which only glibc 2.35 and later have. The C library is
# named first, before the driver adds libgcc_s, so that the loader finds most
# of the program's names in the first library it looks in.

include(CheckCXXSourceCompiles)

function(sphere_link_cxx_runtime_statically target)
  if(MSVC)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    return()
  endif()
  if(MINGW)
    set(flags -static)
  else()
    set(flags -static-libstdc++ -lc)
  endif()
  set(CMAKE_REQUIRED_LINK_OPTIONS ${flags})
  check_cxx_source_compiles("#include <iostream>\nint main() { std::cout << 1.5; }\n"
                            SPHERE_LINKS_CXX_RUNTIME_STATICALLY)
  if(SPHERE_LINKS_CXX_RUNTIME_STATICALLY)
    target_link_options(${target} PRIVATE ${flags})
  else()
    message(STATUS "The C++ runtime cannot be linked statically with this toolchain: ${target} uses the shared one")
  endif()
endfunction()
