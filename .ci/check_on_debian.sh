#!/usr/bin/env bash
# Builds and tests this commit on another Debian release as a new user there
# would: in a minimal root of that release, with only the packages that README
# and doc/development.md name, in a fresh clone, with CI set. It runs the
# README's two commands (and the program the first builds, with radius 2),
# then test-clang, test-libcxx and asan, and prints what each ran with.
#
# Given a release that this machine made, it rebuilds it there too, as anyone
# would check it, with mmdebstrap and the publisher's public keys: every file
# must be identical; and a copy in which one package was changed, and
# SHA256SUMS with it, as a forger would, must be refused, that package named.
#
#   .ci/check_on_debian.sh <suite> [<release> <folder of its keys>]   (as root)
#
# The folder of keys holds key.asc, the OpenPGP key, and ca.pem, the authority
# of the Windows programs' certificate. The minimal root (mmdebstrap) is kept
# in /var/tmp/sphere-ci for a week, so that runs on one machine share it; the
# packages are installed in a copy. The rebuild's build root is kept in
# /var/tmp/sphere-ci/build-roots, which the release's shares.
set -euo pipefail
suite=$1
release=${2:-}
keys=${3:-}
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
if [ -n "$release" ]; then
  mkdir -p "$cache/build-roots"
  mount_into_root "$(realpath "$release")" /release
  mount_into_root "$(realpath "$keys")" /keys
  mount_into_root "$cache/build-roots" /var/cache/sphere-build-roots
fi

chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin CI=true \
  DEBIAN_FRONTEND=noninteractive SUITE="$suite" REBUILD="${release:+yes}" bash -euo pipefail -s <<'EOF'
cd /root/sphere
install() {
  echo "$SUITE: installing $*"
  apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
# What a run is made with: its compiler, C++ library, CMake and GoogleTest.
versions() {
  local preset=$1 library
  shift
  library=$(echo '#include <version>' | "$@" -x c++ -E -dM - |
    awk '$2 == "_LIBCPP_VERSION" { print "libc++ " $3 } $2 == "_GLIBCXX_RELEASE" { print "libstdc++ " $3 }')
  echo "$SUITE, $preset: $("$1" --version | head -n 1), $library, $(cmake --version | head -n 1)," \
    "GoogleTest $(dpkg-query -W -f '${Version}' libgtest-dev), $(getconf GNU_LIBC_VERSION)"
}
apt-get update -qq

# The packages that README names, as it names them, and the locale sources
# that the tests need where CI is set; then its two commands.
read -ra readme < <(grep -o 'apt-get install [a-z0-9+.-][a-z0-9+. -]*' README.md | head -n 1 | cut -d ' ' -f 3-)
[ ${#readme[@]} -gt 0 ] || { echo "README names no packages to install" >&2; exit 1; }
install "${readme[@]}" locales
cmake --workflow --preset release
.ci/runs_radius_2.sh build/release/sphere
echo "$SUITE: build/release/sphere, given radius 2, writes what README shows"
cmake --workflow --preset test
versions test g++

# The other compiler and C++ library, and the sanitizers.
install clang libc++-dev libc++abi-dev
cmake --workflow --preset test-clang
versions test-clang clang++
cmake --workflow --preset test-libcxx
versions test-libcxx clang++ -stdlib=libc++
cmake --workflow --preset asan
versions asan g++

echo "$SUITE: the README's commands, test-clang, test-libcxx and asan passed"
[ -n "$REBUILD" ] || exit 0

# The release made on the other machine, rebuilt here from its source
# archive and its record, with only the tool that makes a build root.
install mmdebstrap
rebuild() {
  cmake -D RELEASE="$1" -D PUBLIC_KEY=/keys/key.asc -D WINDOWS_CA=/keys/ca.pem \
    -D BUILD_ROOT_CACHE=/var/cache/sphere-build-roots -D WORK=/root/rebuild -P cmake/rebuild.cmake
}
rebuild /release
echo "$SUITE: the release, rebuilt here, is identical, file for file, and its signatures good"

# A forger's copy: one package changed, and SHA256SUMS to match.
cp -r /release /root/forged
deb=$(cd /root/forged && ls sphere_*_arm64.deb)
printf 'x' >>"/root/forged/$deb"
sed -i "s|^[0-9a-f]*  $deb\$|$(cd /root/forged && sha256sum "$deb")|" /root/forged/SHA256SUMS
if rebuild /root/forged >/root/forged.log 2>&1 || ! grep -q "^  $deb  *different" /root/forged.log; then
  cat /root/forged.log >&2
  echo "$SUITE: the rebuild did not refuse the forger's $deb" >&2
  exit 1
fi
grep "^  $deb \|^  SHA256SUMS\|not identical" /root/forged.log
echo "$SUITE: the rebuild refused the forger's copy, naming $deb"
EOF
