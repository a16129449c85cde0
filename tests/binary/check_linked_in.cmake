# Checks what the program holds of others' code: every archive that its link
# map shows a member taken from must be one of the allowed libraries, whose
# licences the notices cover.
#
#   MAP      the link map that GNU ld wrote (-Map)
#   ALLOWED  the libraries allowed, by name without the .a

file(STRINGS "${MAP}" members REGEX "^[^ ]+\\.a\\([^)]+\\)")
set(linked "")
foreach(member IN LISTS members)
  string(REGEX REPLACE "^(.*/)?([^/]+)\\.a\\(.*" "\\2" library "${member}")
  list(APPEND linked ${library})
endforeach()
list(REMOVE_DUPLICATES linked)
list(REMOVE_ITEM linked ${ALLOWED})
if(linked)
  message(FATAL_ERROR "the program holds code of libraries that the notices do not cover: ${linked}")
endif()
