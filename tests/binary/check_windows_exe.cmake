# Checks that the Windows program is a console program for the intended
# processor that runs on its own: it may import only DLLs that every Windows
# has, no compiler runtimes, and no number conversion from msvcrt.dll.
#
#   PROGRAM  the program;  OBJDUMP  the target's objdump, named for its
#   processor as MinGW-w64's are (i686-w64-mingw32-objdump), which says which
#   file format the program must have

execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()

get_filename_component(objdump "${OBJDUMP}" NAME)
if(objdump MATCHES "^i686-")
  set(format pei-i386)
elseif(objdump MATCHES "^x86_64-")
  set(format pei-x86-64)
else()
  message(FATAL_ERROR "${OBJDUMP} is named for no Windows processor that a target has")
endif()
if(NOT headers MATCHES "file format ${format}\n")
  message(FATAL_ERROR "not a ${format} program")
endif()
if(NOT headers MATCHES "Subsystem[ \t]+00000003")
  message(FATAL_ERROR "not a console program")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" dll)
  if(NOT dll MATCHES "^dll name: (kernel32|msvcrt)\\.dll$")
    message(FATAL_ERROR "imports a DLL that is not part of Windows: ${import}")
  endif()
endforeach()

# Numbers are converted, both ways, by the MinGW-w64 runtime's own correctly
# rounded code, linked into the program. msvcrt.dll's conversions of doubles
# round wrongly on older Windows, which no test under Wine would show. The
# runtime's start-up imports fprintf and vfprintf for its own messages.
string(REGEX MATCHALL "\n\t[0-9a-f]+\t +[0-9]+  [^\n]+" functions "${headers}")
foreach(function IN LISTS functions)
  string(REGEX REPLACE ".* " "" function "${function}")
  if(function MATCHES "printf|scanf|^_*(str|wcs)to(d|f|ld)(_l)?$|^_*w?ato(f|dbl|ldbl|flt)(_l)?$|^_*[efg]cvt(_s)?$"
     AND NOT function MATCHES "^v?fprintf$")
    message(FATAL_ERROR "converts numbers with msvcrt.dll's ${function}")
  endif()
endforeach()
