#!/usr/bin/env bash
# Builds and tests this commit on another Debian release as a new user there
# would: in a minimal root of that release, with only the packages that README
# and doc/development.md name, in a fresh clone, with CI set. It runs the
# README's two commands (and the program the first builds, with radius 2),
# then test-clang, test-libcxx and asan, and prints what each ran with. Its
# glibc, 2.38 or newer, cannot keep the floor: a release must stop at once.
#
#   .ci/check_on_debian.sh <suite>     (trixie, unstable, ...; as root)
#
# The minimal root (mmdebstrap) is kept in /var/tmp/sphere-ci for a week, so
# that runs on one machine share it; the packages are installed in a copy.
set -euo pipefail
suite=$1
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
cleanup() {
  umount "$root/dev" "$root/proc" 2>/dev/null || true
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
tar -C "$root" -xf "$cache/$suite.tar"
cp /etc/resolv.conf "$root/etc/"
git clone -q . "$root/root/sphere"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"

chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin CI=true \
  DEBIAN_FRONTEND=noninteractive SUITE="$suite" bash -euo pipefail -s <<'EOF'
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

# The README's packages, and the locale sources that its tests need where CI
# is set; then its two commands.
install cmake make g++ libgtest-dev locales
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

# Its glibc cannot keep the Linux programs' floor: a release stops at once,
# with its reason, before it builds anything.
if release=$(cmake -P cmake/release.cmake 2>&1) || [[ $release != *"No release on this machine"* ]] ||
  [ -e dist ] || compgen -G 'build/linux-*' >/dev/null; then
  echo "$SUITE: the release did not stop at once for the glibc floor: $release" >&2
  exit 1
fi
echo "$SUITE: the release stopped at once:$(sed -n 's/^ */ /p' <<<"$release" | tr -d '\n')"
echo "$SUITE: the README's commands, test-clang, test-libcxx and asan passed"
EOF
