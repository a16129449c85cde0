# sphere_harden(<target>)
#
# Hardens <target> as Linux distributions build their programs: the stack
# guarded against overflows and clashes, indirect branches checked on x86, the
# C library's checked variants of string and memory functions where the size
# is known (_FORTIFY_SOURCE), and relocations bound at start-up and then made
# read-only (-z relro -z now). Each compiler flag is used where the compiler
# accepts it; none changes the arithmetic.

include(CheckCXXCompilerFlag)

function(sphere_harden target)
  foreach(flag IN ITEMS -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "SPHERE_COMPILES_WITH${flag}" accepted)
    check_cxx_compiler_flag(${flag} ${accepted})
    if(${accepted})
      target_compile_options(${target} PRIVATE ${flag})
    endif()
  endforeach()
  # Fortification needs optimisation; a compiler that sets it already is overruled.
  set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
  target_compile_options(${target} PRIVATE $<${optimised}:-U_FORTIFY_SOURCE> $<${optimised}:-D_FORTIFY_SOURCE=2>)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE LINKER:-z,relro LINKER:-z,now)
  endif()
endfunction()
