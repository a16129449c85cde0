# sphere_link_cxx_runtime_statically(<target>)
#
# Links the compiler's C++ runtime into <target>: GCC's libstdc++ and libgcc
# (-static-libstdc++ -static-libgcc), so that the program runs on any system
# with a recent enough C library, whatever C++ runtime it has or lacks. The
# system's C library stays shared: glibc on Linux, as distributions require,
# and msvcrt.dll on Windows, where -static links MinGW-w64's libraries in so
# that no DLL has to go beside the program; with MSVC, its static runtime.
# Where the toolchain cannot link so, the default link is kept and a message
# says so.

include(CheckCXXSourceCompiles)

function(sphere_link_cxx_runtime_statically target)
  if(MSVC)
    set_property(TARGET ${target} PROPERTY MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    return()
  endif()
  if(MINGW)
    set(flags -static)
  else()
    set(flags -static-libstdc++ -static-libgcc)
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
