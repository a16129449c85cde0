# Runs a command in a build root (build_root.cmake makes it):
#
#   sphere_run_in_build_root(TARBALL <tarball> [BIND <host path>=<path>[:ro]...]
#                            [NETWORK] COMMAND <command>...)
#
# Each command runs in a fresh copy of the root, kept under BUILD_ROOT_CACHE,
# with no network but where NETWORK asks for the host's: whatever it uses is in
# the root, and so in its record, and nothing can be fetched behind it.
include_guard(GLOBAL)

# How this host gets into a root, as unshare's command and options: as root,
# or as a user through unprivileged user namespaces that map the user's
# subordinate ids too; in mount and process namespaces of its own. In a
# chroot, whose / is no mount point, root's mounts cannot be made private to
# the namespace, and enter.sh undoes them itself.
function(build_root_unshare variable)
  execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(uid STREQUAL "0")
    set(unshare unshare --mount)
    execute_process(COMMAND ${unshare} true RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    if(NOT status EQUAL 0)
      list(APPEND unshare --propagation unchanged)
    endif()
  else()
    set(unshare unshare --map-auto --map-root-user --mount)
  endif()
  set(${variable} ${unshare} --pid --fork PARENT_SCOPE)
endfunction()

# Runs COMMAND in a fresh copy of the root in TARBALL, with each BIND mounted
# into it, and removes the copy once it ends; stops where the command fails.
function(sphere_run_in_build_root)
  cmake_parse_arguments(PARSE_ARGV 0 arg "NETWORK" "TARBALL" "BIND;COMMAND")
  build_root_unshare(unshare)
  if(NOT arg_NETWORK)
    list(APPEND unshare --net)
  endif()
  string(RANDOM LENGTH 8 ALPHABET abcdefghijklmnopqrstuvwxyz0123456789 name)
  set(copy "${BUILD_ROOT_CACHE}/copy-${name}")
  execute_process(COMMAND ${unshare} --kill-child sh "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/enter.sh" "${arg_TARBALL}"
                          "${copy}" ${arg_BIND} -- ${arg_COMMAND} RESULT_VARIABLE status)
  # The copy goes, unless something is still mounted in it: the publisher's
  # GnuPG folder, say, which must never be removed with it. Its files may be
  # owned by ids that only a user namespace maps.
  file(STRINGS /proc/self/mounts mounts)
  foreach(mount IN LISTS mounts)
    string(REGEX REPLACE "^[^ ]+ ([^ ]+) .*$" "\\1" mountpoint "${mount}")
    string(FIND "${mountpoint}" "${copy}" at)
    if(at EQUAL 0)
      message(FATAL_ERROR "${mountpoint} is still mounted: the build root's copy ${copy} is not removed")
    endif()
  endforeach()
  execute_process(COMMAND ${unshare} rm -rf "${copy}")
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "In the build root, `${arg_COMMAND}` failed (${status})")
  endif()
endfunction()
