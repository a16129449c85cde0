# sphere_gzip(<target> <file> <folder>)
#
# Adds <target>, built by default, which compresses <file> of the sources into
# <folder>/<name>.gz, as Debian keeps manual pages and changelogs. gzip -n
# leaves the name and time stamp out, so the same file always gives the same
# bytes.

find_program(GZIP gzip REQUIRED)

function(sphere_gzip target file folder)
  get_filename_component(name ${file} NAME)
  get_filename_component(file ${file} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  add_custom_command(
    OUTPUT ${folder}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${name}
    COMMAND ${GZIP} -9 -n -f ${name}
    DEPENDS ${file}
    WORKING_DIRECTORY ${folder}
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${folder}/${name}.gz)
endfunction()
