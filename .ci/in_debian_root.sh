#!/usr/bin/env bash
# Runs the script on standard input in a minimal root of another Debian
# release, as root there, in a fresh clone of this commit (/root/sphere),
# with CI set, the network, a new user's environment, and CI's shared shell
# (lib.sh, with apt_install) at hand. Each <host folder>=<folder> is mounted
# into the root.
#
#   .ci/in_debian_root.sh <suite> [<host folder>=<folder>]... <script   (as root)
#
# The root is made and entered as the release makes and enters its build
# root (release/build_root.py), and kept in CI's cache until the archive
# changes, so that runs on one machine share it; each run has a copy of its
# own.
set -euo pipefail
suite=$1
shift
cd "$(dirname "$0")/.."
. .ci/lib.sh
mkdir -p "$ci_cache"
clone=$(mktemp -d "$ci_cache/clone-$suite.XXXXXX")
trap 'rm -rf "$clone"' EXIT
git clone -q . "$clone/sphere"
binds=(--bind "$clone/sphere=/root/sphere" --bind /sys=/sys)
for bind in "$@"; do
  mkdir -p "${bind%%=*}"
  binds+=(--bind "$(realpath "${bind%%=*}")=${bind#*=}")
done

{
  cat <<'PRELUDE'
cd /root/sphere
. .ci/lib.sh
PRELUDE
  cat
} | python3 release/build_root.py "$suite" --cache "$ci_cache" "${binds[@]}" -- \
  CI=true DEBIAN_FRONTEND=noninteractive CMAKE_BUILD_PARALLEL_LEVEL="$(nproc)" SUITE="$suite" bash -euo pipefail -s
