# Checks that the Windows program is a console program for the intended
# processor that runs on its own: it may import only DLLs that every Windows
# has, no compiler runtimes, and no number conversion from msvcrt.dll.
#
#   PROGRAM  the program;  OBJDUMP  an objdump that reads PE files
#   FORMAT   the file format objdump must report (pei-i386, pei-x86-64), if given

execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()

if(FORMAT AND NOT headers MATCHES "file format ${FORMAT}\n")
  message(FATAL_ERROR "not a ${FORMAT} program")
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
