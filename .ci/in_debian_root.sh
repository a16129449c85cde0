#!/usr/bin/env bash
# Runs the script on standard input in a minimal root of another Debian
# release, as root there, in a fresh clone of this commit (/root/sphere),
# with CI set, a new user's environment, and install (apt-get install, said
# aloud) at hand. Each <host folder>=<folder> is mounted into the root.
#
#   .ci/in_debian_root.sh <suite> [<host folder>=<folder>]... <script   (as root)
#
# The minimal root (mmdebstrap) is kept in /var/tmp/sphere-ci for a week, so
# that runs on one machine share it; each run has a copy of its own.
set -euo pipefail
suite=$1
shift
cd "$(dirname "$0")/.."
cache=/var/tmp/sphere-ci
mkdir -p "$cache"
find "$cache" -maxdepth 1 -name "$suite.tar" -mtime +7 -delete
if [ ! -f "$cache/$suite.tar" ]; then
  options=()
  # This archive's copy of unstable can carry a Release file past its
  # Valid-Until date; the option stays in that root's apt configuration.
  if [ "$suite" = unstable ] || [ "$suite" = sid ]; then
    options=(--aptopt='Acquire::Check-Valid-Until "false"')
  fi
  mmdebstrap --quiet --variant=minbase --format=tar "${options[@]}" "$suite" "$cache/$suite.tar.new" http://deb.debian.org/debian
  mv "$cache/$suite.tar.new" "$cache/$suite.tar"
fi

# The root is entered as the release enters its build root
# (release/host/enter.sh), which undoes its mounts when the script ends;
# the clone is mounted into it.
work=$(mktemp -d "$cache/$suite.XXXXXX")
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
install() {
  echo "$SUITE: installing $*"
  apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
apt-get update -qq
PRELUDE
  cat
} | sh release/host/enter.sh "$cache/$suite.tar" "$work/root" "${binds[@]}" -- \
  CI=true DEBIAN_FRONTEND=noninteractive SUITE="$suite" bash -euo pipefail -s
