#!/usr/bin/env bash
# Runs the script on standard input in a minimal root of another Debian
# release, as root there, in a fresh clone of this commit (/root/sphere),
# with CI set, a new user's environment, and CI's shared shell (lib.sh, with
# apt_install) at hand. Each <host folder>=<folder> is mounted into the root.
#
#   .ci/in_debian_root.sh <suite> [<host folder>=<folder>]... <script   (as root)
#
# The minimal root is made as the release makes its build root
# (release/host/build_root.cmake), and kept in CI's cache until the archive
# changes, so that runs on one machine share it; each run has a copy of its
# own.
set -euo pipefail
suite=$1
shift
cd "$(dirname "$0")/.."
. .ci/lib.sh
tarball=$(cmake -D SUITE="$suite" -D BUILD_ROOT_CACHE="$ci_cache" -P release/host/build_root.cmake | tail -n 1)

# The root is entered as the release enters its build root
# (release/host/enter.sh), which undoes its mounts when the script ends;
# the clone is mounted into it.
work=$(mktemp -d "$ci_cache/$suite.XXXXXX")
trap 'rm -rf --one-file-system "$work"' EXIT
git clone -q . "$work/sphere"
binds=("$work/sphere=/root/sphere" /sys=/sys)
for bind in "$@"; do
  mkdir -p "${bind%%=*}"
  binds+=("$(realpath "${bind%%=*}")=${bind#*=}")
done

{
  cat <<'PRELUDE'
cd /root/sphere
. .ci/lib.sh
PRELUDE
  cat
} | sh release/host/enter.sh "$tarball" "$work/root" "${binds[@]}" -- \
  CI=true DEBIAN_FRONTEND=noninteractive SUITE="$suite" bash -euo pipefail -s
