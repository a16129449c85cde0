# Lays out a table for a message, as the release and the rebuild end:
#
#   sphere_table(<variable> <columns> <cells>)
#
# appends to <variable> the list <cells>, row after row of <columns> cells,
# each row on a line of its own indented by two spaces, each cell but the
# last of its row padded to its column's widest, two spaces apart. A cell
# holds no semicolon.
include_guard(GLOBAL)

function(sphere_table variable columns)
  # What the caller gave, read before any name here can hide it.
  set(table "${${variable}}")
  set(cells "${${ARGV2}}")
  list(LENGTH cells count)
  if(count EQUAL 0)
    return()
  endif()
  math(EXPR last "${count} - 1")
  string(REPEAT "0;" ${columns} widths)
  foreach(index RANGE ${last})
    math(EXPR column "${index} % ${columns}")
    list(GET cells ${index} cell)
    string(LENGTH "${cell}" length)
    list(GET widths ${column} width)
    if(length GREATER width)
      list(REMOVE_AT widths ${column})
      list(INSERT widths ${column} ${length})
    endif()
  endforeach()
  math(EXPR last_column "${columns} - 1")
  foreach(index RANGE ${last})
    math(EXPR column "${index} % ${columns}")
    list(GET cells ${index} cell)
    if(column EQUAL 0)
      string(APPEND table "\n  ${cell}")
    else()
      string(APPEND table "  ${cell}")
    endif()
    if(column LESS last_column)
      list(GET widths ${column} width)
      string(LENGTH "${cell}" length)
      math(EXPR padding "${width} - ${length}")
      string(REPEAT " " ${padding} pad)
      string(APPEND table "${pad}")
    endif()
  endforeach()
  set(${variable} "${table}" PARENT_SCOPE)
endfunction()
