#!/usr/bin/env bash
# Installs what CI needs and this machine lacks, from Debian's archive: what
# every target needs, from the list of targets; the other compiler and
# standard library, the style and lint checkers, libFuzzer (which clang only
# recommends), the tools that package, Debian's and RPM's checkers, what
# checks the bill of materials against its schema, what signs a release and
# its Windows programs and makes and uses its apt and RPM repositories,
# mmdebstrap, which makes the release's build root and the minimal roots of
# other Debian releases, and what a user who rebuilds a release has: newuidmap
# (uidmap), diffoscope and jq. The reader's tests make their locale with a decimal
# comma from the sources in locales; man shows the installed package's manual
# page.
#
#   .ci/install.sh        (as root, from the project's root)
set -euo pipefail

# A mirror in the middle of a sync now and then fails an index or two; apt
# keeps the ones it had, and what cannot be installed from them fails below.
install() {
  echo "installing: $*"
  if ! apt-get update -qq; then
    sleep 30
    apt-get update -qq || echo "apt-get update failed; going on with the indexes apt has"
  fi
  apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
command -v cmake >/dev/null || install cmake

installed() {
  dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q "ok installed"
}
mapfile -t packages < <(cmake -D FIELDS=packages -P cmake/targets.cmake | tr ' ' '\n' | sort -u)
packages+=(make git binutils dpkg-dev locales clang clang-tidy clang-format cmake-format libc++-dev libc++abi-dev libclang-rt-dev shellcheck
  rpm lintian rpmlint man-db python3-jsonschema gnupg apt-utils createrepo-c dnf openssl osslsigncode mmdebstrap uidmap
  diffoscope-minimal jq)
missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
# The 32-bit Windows program's tests load Wine's 32-bit DLLs, libwine:i386,
# from the i386 side of the archive, which apt must know.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  apt-get update -qq || echo "apt-get update failed for some indexes; going on with those apt has"
fi
if [ ${#missing[@]} -gt 0 ]; then
  install "${missing[@]}"
fi
