#!/usr/bin/env bash
# Checks the RPM packages in dist/ as Fedora and a user would: rpmlint finds
# no error in any; the x86-64 package installs, runs and is erased without a
# trace, in a scratch root of its own. (rpm -K checks each one's signature in
# .ci/check_signed_release.sh.)
#
#   .ci/check_rpms.sh <public keys>       (from the project's root)
#
# The folder of public keys holds key.asc, the OpenPGP key that signed them.
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# rpmlint checks signatures with rpm, which trusts the key in a database of
# its own that a scratch home's macros name.
echo "%_dbpath $scratch/rpmdb" >"$scratch/.rpmmacros"
HOME=$scratch rpm --import "$1/key.asc"
HOME=$scratch rpmlint dist/*.rpm
echo "rpmlint: no error"

# Its requirements are the C library's, which the scratch root lacks.
root=$scratch/root
mkdir -p "$root"
rpm --root "$root" --initdb
rpm -qp --requires dist/sphere-*.x86_64.rpm
rpm --root "$root" --nodeps -i dist/sphere-*.x86_64.rpm
.ci/runs_radius_2.sh "$root/usr/bin/sphere"
rpm --root "$root" -e sphere
if [ -n "$(find "$root/usr" -type f 2>/dev/null)" ]; then
  echo "the erased RPM package left something behind" >&2
  exit 1
fi
echo "RPM package installed, ran and was erased"
