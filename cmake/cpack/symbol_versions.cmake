# What a program takes from the shared libraries it links, as readelf shows
# it: each symbol with the version it needs, such as strtoul@GLIBC_2.2.5.
# The glibc-floor test and the Debian package's Depends both read it here.
#
#   sphere_needed_symbols(<readelf> <program> <variable>)
#       sets <variable> to the list of <symbol>@<PREFIX>_<version>
#   sphere_newest_version(<symbols> <PREFIX> <variable>)
#       sets <variable> to the newest <version> of <PREFIX>_<version> among
#       them, or to nothing
#   sphere_libgcc_package_version(<version> <variable>)
#       sets <variable> to the version of Debian's libgcc-s1 that brought a
#       GCC_<version> symbol, as its symbols file says: GCC_4.2.0 came with
#       4.2, and from GCC 5 on, GCC_<n>.0.0 with <n>
include_guard(GLOBAL)

function(sphere_needed_symbols readelf program variable)
  execute_process(COMMAND "${readelf}" --dyn-syms --wide "${program}" OUTPUT_VARIABLE symbols
                  COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "[^ \n@]+@[A-Z]+_[0-9.]+" needed "${symbols}")
  list(REMOVE_DUPLICATES needed)
  set(${variable} ${needed} PARENT_SCOPE)
endfunction()

function(sphere_newest_version symbols prefix variable)
  set(versions ${symbols})
  list(FILTER versions INCLUDE REGEX "@${prefix}_[0-9.]+$")
  list(TRANSFORM versions REPLACE "^.*@${prefix}_" "")
  list(SORT versions COMPARE NATURAL)
  set(newest "")
  if(versions)
    list(POP_BACK versions newest)
  endif()
  set(${variable} "${newest}" PARENT_SCOPE)
endfunction()

function(sphere_libgcc_package_version version variable)
  string(REGEX REPLACE "^([0-9]+\\.[0-9]+)\\.0$" "\\1" version "${version}")
  string(REGEX REPLACE "^([5-9]|[1-9][0-9]+)\\.0$" "\\1" version "${version}")
  set(${variable} "${version}" PARENT_SCOPE)
endfunction()
