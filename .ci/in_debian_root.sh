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

root=$(mktemp -d "$cache/$suite.XXXXXX")
mounts=()
cleanup() {
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || true
  done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
tar -C "$root" -xf "$cache/$suite.tar"
cp /etc/resolv.conf "$root/etc/"
git clone -q . "$root/root/sphere"
# <host folder> <folder in the root>
mount_into_root() {
  mkdir -p "$root$2"
  mount --bind "$1" "$root$2"
  mounts+=("$root$2")
}
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount_into_root /dev /dev
mount -t sysfs sysfs "$root/sys" && mounts+=("$root/sys")
for bind in "$@"; do
  mkdir -p "${bind%%=*}"
  mount_into_root "$(realpath "${bind%%=*}")" "${bind#*=}"
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
} | chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin CI=true \
  DEBIAN_FRONTEND=noninteractive SUITE="$suite" bash -euo pipefail -s
