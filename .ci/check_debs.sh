#!/usr/bin/env bash
# Checks the Debian packages in dist/ as Debian and a user would: lintian finds
# no error or warning; each package's program runs on its processor; the
# building machine's package installs, runs, shows its manual page and is
# removed without a trace; its Depends is what dpkg-shlibdeps finds; and dpkg
# refuses it over a libc6 older than the one it depends on.
#
#   .ci/check_debs.sh        (as root, from the project's root)
set -euo pipefail

lintian --pedantic --fail-on error,warning dist/*.deb

# Each Debian package's program runs on its processor, under qemu with the
# processor's C library where that is another.
while read -r architecture emulator triplet; do
  [ "$architecture" != - ] || continue
  deb=(dist/sphere_*_"$architecture".deb)
  unpacked=build/unpacked/$architecture
  rm -rf "$unpacked" && mkdir -p "$unpacked" && dpkg-deb -x "${deb[0]}" "$unpacked"
  if [ "$emulator" = - ]; then
    .ci/runs_radius_2.sh "$unpacked/usr/bin/sphere"
  else
    .ci/runs_radius_2.sh "$emulator" -L "/usr/$triplet" "$unpacked/usr/bin/sphere"
  fi
done < <(cmake -D FIELDS="deb emulator triplet" -P cmake/targets.cmake)
echo "every Debian package's program ran on its processor"

# The building machine's Debian package used as a user would: installed, run,
# its manual page found, removed without a trace.
architecture=$(dpkg --print-architecture)
deb=(dist/sphere_*_"$architecture".deb)
dpkg -i "${deb[0]}"
.ci/runs_radius_2.sh /usr/bin/sphere
man -w sphere
dpkg -r sphere
if dpkg -s sphere >/dev/null 2>&1 || [ -e /usr/bin/sphere ] || [ -e /usr/share/man/man1/sphere.1.gz ]; then
  echo "the removed package left something behind" >&2
  exit 1
fi
echo "Debian package installed, ran, showed its manual page and was removed"

# Its dependencies are those that Debian's own dpkg-shlibdeps finds in its
# program (it wants a source package's debian/control, which may be empty).
depends=$(dpkg-deb -f "${deb[0]}" Depends)
mkdir -p build/shlibdeps/debian && touch build/shlibdeps/debian/control
found=$(cd build/shlibdeps && dpkg-shlibdeps -O "../unpacked/$architecture/usr/bin/sphere" 2>/dev/null)
if [ "shlibs:Depends=$depends" != "$found" ]; then
  echo "the package depends on $depends, but dpkg-shlibdeps finds $found" >&2
  exit 1
fi
echo "Depends: $depends, as dpkg-shlibdeps finds"

# A system whose C library is older than the one the package depends on
# refuses it: installed into a scratch dpkg database that holds only libc6,
# at the version given, and libgcc-s1, at the version it depends on, it is
# configured only from that version on.
install_over_libc6() {
  local root
  root=$(mktemp -d)
  mkdir -p "$root"/var/lib/dpkg/info "$root"/var/lib/dpkg/updates "$root"/var/log
  touch "$root"/var/lib/dpkg/available
  local name version
  while read -r name version; do
    touch "$root/var/lib/dpkg/info/$name:$architecture.list"
    printf 'Package: %s\nStatus: install ok installed\nMaintainer: scratch\nArchitecture: %s\nMulti-Arch: same\nVersion: %s\nDescription: scratch\n\n' \
      "$name" "$architecture" "$version" >>"$root/var/lib/dpkg/status"
  done <<<"libc6 $1
libgcc-s1 $gcc_needed"
  dpkg --root="$root" -i "${deb[0]}" >"$root/log" 2>&1 || true
  dpkg-query --root="$root" -W -f='${db:Status-Status}\n' sphere 2>/dev/null
  grep -h "depends on libc6" "$root/log" || true
  rm -rf "$root"
}
needed=$(sed -n 's/.*libc6 (>= \([0-9.]*\)).*/\1/p' <<<"$depends")
gcc_needed=$(sed -n 's/.*libgcc-s1 (>= \([0-9.]*\)).*/\1/p' <<<"$depends")
older=$(awk -F. -v OFS=. '{ $NF = $NF - 1; print }' <<<"$needed")
refused=$(install_over_libc6 "$older")
accepted=$(install_over_libc6 "$needed")
echo "over libc6 $older: $refused"
echo "over libc6 $needed: $accepted"
if [[ "$refused" != unpacked*"sphere depends on libc6 (>= $needed)"* || "$accepted" != installed ]]; then
  echo "the package must be refused over libc6 $older and installed over $needed" >&2
  exit 1
fi
