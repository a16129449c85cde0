#!/usr/bin/env bash
# Installs what CI needs and this machine lacks, from Debian's archive: what
# every target needs, from the list of targets; the other compiler and
# standard library, the style and lint checkers (flake8 for Python),
# libFuzzer (which clang only recommends), the tools that package, Debian's
# and RPM's checkers, what checks the bill of materials against its schema,
# what makes CI's throwaway keys and checks the signatures and the
# repositories made with them, python3, which runs the release tools and their
# tests, mmdebstrap, which makes the release's build root and the minimal
# roots of other Debian releases, and what a user who rebuilds a release has:
# newuidmap (uidmap), diffoscope and jq. The reader's tests make their locale
# with a decimal comma from the sources in locales; man shows the installed
# package's manual page.
#
#   .ci/install.sh        (as root, from the project's root)
set -euo pipefail
cd "$(dirname "$0")/.."
. .ci/lib.sh
command -v cmake >/dev/null || apt_install cmake

installed() {
  dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q "ok installed"
}
mapfile -t packages < <(cmake -D FIELDS=packages -P cmake/targets.cmake | tr ' ' '\n' | sort -u)
packages+=(make git binutils dpkg-dev locales clang clang-tidy clang-format cmake-format libc++-dev libc++abi-dev libclang-rt-dev shellcheck
  flake8 rpm lintian rpmlint man-db python3 python3-jsonschema gnupg dnf openssl osslsigncode mmdebstrap uidmap
  diffoscope-minimal jq)
missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
# The 32-bit Windows program's tests load Wine's 32-bit DLLs, libwine:i386,
# from the i386 side of the archive, which apt must know (apt_install
# updates its indexes).
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
if [ ${#missing[@]} -gt 0 ]; then
  apt_install "${missing[@]}"
fi
