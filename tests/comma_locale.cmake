# sphere_comma_locale(<variable>)
#
# Makes, once, the C locale with a decimal comma that the reader's tests and
# its fuzz target run under (comma_locale in support.h): localedef, from
# Debian's libc-bin, compiles it from the sources in Debian's locales package
# into the build folder, in the target's byte order. Sets <variable> to the
# environment a test finds it with, or to nothing where it cannot be made:
# those tests then skip, unless SPHERE_REQUIRE_COMMA_LOCALE (on in CI, where
# CI is set) makes that an error.

option(SPHERE_REQUIRE_COMMA_LOCALE "Fail, not skip, the tests under a C locale with a decimal comma where it cannot be made" "$ENV{CI}")

function(sphere_comma_locale variable)
  set(folder ${PROJECT_BINARY_DIR}/locale)
  set(${variable} "" PARENT_SCOPE)
  if(NOT TARGET comma_locale)
    find_program(LOCALEDEF localedef)
    set(sources /usr/share/i18n/locales/de_DE /usr/share/i18n/charmaps/UTF-8.gz)
    foreach(needed IN ITEMS "${LOCALEDEF}" ${sources})
      if(NOT EXISTS "${needed}")
        set(missing TRUE)
      endif()
    endforeach()
    if(missing)
      set(message "No C locale with a decimal comma can be made here (Debian: locales)")
      if(SPHERE_REQUIRE_COMMA_LOCALE)
        message(FATAL_ERROR "${message}, which SPHERE_REQUIRE_COMMA_LOCALE asks for")
      endif()
      message(STATUS "${message}: the tests under it skip")
      return()
    endif()
    set(byte_order "")
    if(CMAKE_CXX_BYTE_ORDER)
      string(TOLOWER "--${CMAKE_CXX_BYTE_ORDER}" byte_order)
      string(REPLACE "_" "-" byte_order "${byte_order}")
    endif()
    add_custom_command(OUTPUT ${folder}/de_DE.UTF-8/LC_NUMERIC
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${LOCALEDEF} ${byte_order} -i de_DE -f UTF-8 ${folder}/de_DE.UTF-8
      DEPENDS ${sources}
      VERBATIM)
    add_custom_target(comma_locale ALL DEPENDS ${folder}/de_DE.UTF-8/LC_NUMERIC)
  endif()
  set(${variable} "LOCPATH=${folder}" PARENT_SCOPE)
endfunction()

# Marks <tests> as run under the comma locale: a skip for want of it fails
# them where it is required.
function(sphere_tests_under_comma_locale)
  if(SPHERE_REQUIRE_COMMA_LOCALE)
    set_tests_properties(${ARGN} PROPERTIES FAIL_REGULAR_EXPRESSION "no C locale with a decimal comma")
  else()
    set_tests_properties(${ARGN} PROPERTIES SKIP_REGULAR_EXPRESSION "no C locale with a decimal comma")
  endif()
endfunction()
