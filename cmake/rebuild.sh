#!/bin/sh
# Rebuilds a published release from this clone and compares every file
# (rebuild.cmake, which takes the same settings), and exits with what the
# rebuild found:
#
#   sh cmake/rebuild.sh -D RELEASE=<folder> [-D TARGETS=<target>[;<target>...]]
#                       [-D PUBLIC_KEY=<file>] [-D WINDOWS_CA=<file>] ...
#
#   0  every file compared is identical, and every signature checked good
#   1  a file differs, is missing or extra, or a signature fails
#   2  the rebuild could not run: the commit is not in this clone, the mirror
#      lacks a recorded version, there is no way into a root, or the build
#      itself failed
set -u
compared=$(mktemp)
trap 'rm -f "$compared"' EXIT
status=0
SPHERE_REBUILD_COMPARED=$compared cmake "$@" -P "$(dirname "$0")/rebuild.cmake" || status=$?
if [ "$status" -ne 0 ] && [ ! -s "$compared" ]; then
  status=2
fi
exit "$status"
