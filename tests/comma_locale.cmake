# sphere_under_comma_locale(<test>...)
#
# Runs the tests under the C locale with a decimal comma that the reader's
# tests and its fuzz target use (comma_locale in support.h). Windows's C
# runtime has its own. For glibc, localedef, from Debian's libc-bin, compiles
# it once from the sources in Debian's locales package into the build folder,
# in the target's byte order, and the tests find it through LOCPATH. Where it
# cannot be made, they skip, unless SPHERE_REQUIRE_COMMA_LOCALE (on where CI is
# set) makes that an error.

option(SPHERE_REQUIRE_COMMA_LOCALE
       "Fail, not skip, the tests under a C locale with a decimal comma where it cannot be made" "$ENV{CI}")

function(sphere_under_comma_locale)
  set(folder ${PROJECT_BINARY_DIR}/locale)
  set(cannot "no C locale with a decimal comma")
  if(SPHERE_REQUIRE_COMMA_LOCALE)
    set_tests_properties(${ARGN} PROPERTIES FAIL_REGULAR_EXPRESSION "${cannot}")
  else()
    set_tests_properties(${ARGN} PROPERTIES SKIP_REGULAR_EXPRESSION "${cannot}")
  endif()
  if(WIN32)
    return()
  endif()
  if(NOT TARGET comma_locale)
    find_program(LOCALEDEF localedef)
    set(sources /usr/share/i18n/locales/de_DE /usr/share/i18n/charmaps/UTF-8.gz)
    foreach(needed IN ITEMS "${LOCALEDEF}" ${sources})
      if(NOT EXISTS "${needed}")
        set(message "There is ${cannot} to be made here (Debian: locales)")
        if(SPHERE_REQUIRE_COMMA_LOCALE)
          message(FATAL_ERROR "${message}, which SPHERE_REQUIRE_COMMA_LOCALE asks for")
        endif()
        message(STATUS "${message}: the tests under it skip")
        return()
      endif()
    endforeach()
    set(byte_order "")
    if(CMAKE_CXX_BYTE_ORDER)
      string(TOLOWER "--${CMAKE_CXX_BYTE_ORDER}" byte_order)
      string(REPLACE "_" "-" byte_order "${byte_order}")
    endif()
    add_custom_command(
      OUTPUT ${folder}/de_DE.UTF-8/LC_NUMERIC
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${LOCALEDEF} ${byte_order} -i de_DE -f UTF-8 ${folder}/de_DE.UTF-8
      DEPENDS ${sources}
      VERBATIM)
    add_custom_target(comma_locale ALL DEPENDS ${folder}/de_DE.UTF-8/LC_NUMERIC)
  endif()
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT "LOCPATH=${folder}")
endfunction()
