# Hardening, as Linux distributions build their programs: the stack guarded
# against overflows and clashes, indirect branches checked on x86, and the
# relocations bound at start-up and then made read-only (-z relro -z now).
# Each compiler flag is used where the compiler accepts it; none changes the
# arithmetic.
include(CheckCXXCompilerFlag)
foreach(flag IN ITEMS -fstack-protector-strong -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "SPHERE_COMPILES_WITH${flag}" accepted)
  check_cxx_compiler_flag(${flag} ${accepted})
  if(${accepted})
    target_compile_options(sphere_build_settings INTERFACE ${flag})
  endif()
endforeach()
target_link_options(sphere PRIVATE LINKER:-z,relro LINKER:-z,now)
