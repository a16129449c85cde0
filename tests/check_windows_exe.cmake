# Checks that the Windows program is a console program for the intended
# processor that runs on its own: it may import only DLLs that every Windows
# has, no compiler runtimes.
#
#   PROGRAM  the program;  OBJDUMP  an objdump that reads PE files
#   FORMAT   the file format objdump must report (pei-i386, pei-x86-64)

execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}"
  OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()

if(NOT headers MATCHES "file format ${FORMAT}\n")
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
