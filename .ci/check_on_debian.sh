#!/usr/bin/env bash
# Builds and tests this commit on another Debian release as a new user there
# would: in a minimal root of that release (in_debian_root.sh), with only the
# packages that README names, read from it, in a fresh clone, with CI set. It
# runs the README's two commands (and the program the first builds, with
# radius 2), then test-clang, test-libcxx and asan, and prints what each ran
# with.
#
#   .ci/check_on_debian.sh <suite>        (as root)
set -euo pipefail
cd "$(dirname "$0")/.."
.ci/in_debian_root.sh "$1" <<'EOF_ROOT'
# What a run is made with: its compiler, C++ library, CMake and GoogleTest.
versions() {
  local preset=$1 library
  shift
  library=$(echo '#include <version>' | "$@" -x c++ -E -dM - |
    awk '$2 == "_LIBCPP_VERSION" { print "libc++ " $3 } $2 == "_GLIBCXX_RELEASE" { print "libstdc++ " $3 }')
  echo "$SUITE, $preset: $("$1" --version | head -n 1), $library, $(cmake --version | head -n 1)," \
    "GoogleTest $(dpkg-query -W -f '${Version}' libgtest-dev), $(getconf GNU_LIBC_VERSION)"
}

# The packages that README names, as it names them, and what the tests need
# where CI is set: the locale sources, and python3 for the release tools'
# tests; then its two commands.
read -ra readme < <(grep -o 'apt-get install [a-z0-9+.-][a-z0-9+. -]*' README.md | head -n 1 | cut -d ' ' -f 3-)
[ ${#readme[@]} -gt 0 ] || { echo "README names no packages to install" >&2; exit 1; }
apt_install "${readme[@]}" locales python3
cmake --workflow --preset release
.ci/runs_radius_2.sh build/release/sphere
echo "$SUITE: build/release/sphere, given radius 2, writes what README shows"
cmake --workflow --preset test
versions test g++

# The other compiler and C++ library, and the sanitizers.
apt_install clang libc++-dev libc++abi-dev
cmake --workflow --preset test-clang
versions test-clang clang++
cmake --workflow --preset test-libcxx
versions test-libcxx clang++ -stdlib=libc++
cmake --workflow --preset asan
versions asan g++

echo "$SUITE: the README's commands, test-clang, test-libcxx and asan passed"
EOF_ROOT
