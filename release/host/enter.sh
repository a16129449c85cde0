#!/bin/sh
# Runs a command in a build root, in mount and process namespaces of its own
# (unshare). The root is unpacked from its tarball into an empty folder first;
# the host's DNS settings, /dev and a new /proc are put in place, and each
# <host path>=<path> is mounted into the root, a folder or a file, read-write
# unless its path in the root ends in :ro.
#
#   unshare [--map-auto --map-root-user] --mount [--propagation unchanged] \
#     --pid --fork --kill-child \
#     sh release/host/enter.sh <tarball> <folder> [<host path>=<path>...] -- <command>...
#
# enter_build_root.cmake runs it so; the command runs as root in the root, with only
# the environment it is given (env -i). Every mount made here is undone once
# it ends, the namespace's or not: in a chroot, whose / is no mount point,
# unshare cannot make the namespace's mounts private, and they may be seen
# outside (--propagation unchanged).
set -eu
# chroot is in /usr/sbin, which a user's PATH may lack.
PATH=$PATH:/usr/sbin:/sbin
tarball=$1
root=$2
shift 2
mkdir -p "$root"
# The root's device files are the host's, mounted below, which a user could
# not make.
tar -C "$root" --extract --file "$tarball" --exclude='./dev/*'
cp /etc/resolv.conf "$root/etc/resolv.conf"

# Each mount point, the last made first, one a line.
mounted=""
mount_at() {
  mount "$@"
  shift $(($# - 1))
  mounted="$1
$mounted"
}
# shellcheck disable=SC2317 # the trap calls it
undo_mounts() {
  # Lazily, which detaches the mounts below each too: a process the command
  # left, such as a GnuPG agent, may hold one. In a user namespace, the mounts
  # below /dev are locked to it and cannot be unmounted one by one. Where one
  # is left, enter_build_root.cmake sees it and keeps the copy.
  printf '%s' "$mounted" | while IFS= read -r mountpoint; do
    umount --lazy "$mountpoint" || echo "enter.sh: $mountpoint stays mounted" >&2
  done
}
trap undo_mounts EXIT
mount_at --rbind /dev "$root/dev"
mount_at -t proc proc "$root/proc"
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  host=${1%%=*}
  inside=${1#*=}
  options=bind
  case $inside in
    *:ro) inside=${inside%:ro} && options=bind,ro ;;
  esac
  if [ -d "$host" ]; then
    mkdir -p "$root$inside"
  else
    mkdir -p "$(dirname "$root$inside")" && : >"$root$inside"
  fi
  mount_at --bind "$host" "$root$inside"
  [ "$options" = bind ] || mount -o remount,"$options" "$root$inside"
  shift
done
shift
status=0
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@" || status=$?
exit "$status"
