#!/usr/bin/env bash
# Checks the x86-64 RPM package in dist/ as a user would: it installs, runs
# and is erased without a trace, in a scratch root of its own. (rpmlint and
# rpm -K check every RPM package in .ci/check_signed_release.sh.)
#
#   .ci/check_rpms.sh        (from the project's root)
set -euo pipefail

# Its requirements are the C library's, which the scratch root lacks.
root=$(mktemp -d)
rpm --root "$root" --initdb
rpm -qp --requires dist/sphere-*.x86_64.rpm
rpm --root "$root" --nodeps -i dist/sphere-*.x86_64.rpm
.ci/runs_radius_2.sh "$root/usr/bin/sphere"
rpm --root "$root" -e sphere
if [ -n "$(find "$root/usr" -type f 2>/dev/null)" ]; then
  echo "the erased RPM package left something behind" >&2
  exit 1
fi
rm -rf "$root"
echo "RPM package installed, ran and was erased"
