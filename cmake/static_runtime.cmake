# sphere_link_runtime_statically(<target>)
#
# Links the C and C++ runtimes into <target>, so that it starts without the
# dynamic loader relocating shared libraries (nearly all of a run's cost) and,
# on Windows, needs no runtime DLLs beside it. On Linux the program stays
# position-independent (-static-pie) where the toolchain can do that. Where no
# static link works, for example without a static C library, the default link
# is kept and a status message says so.

include(CheckCXXSourceCompiles)

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
    check_cxx_source_compiles("#include <iostream>\nint main() { std::cout << 1.5; }" ${result})
    if(${result})
      target_link_options(${target} PRIVATE ${flag})
      return()
    endif()
  endforeach()
  message(STATUS "No static runtime link works with this toolchain: ${target} is linked dynamically")
endfunction()
