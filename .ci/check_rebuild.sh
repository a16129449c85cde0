#!/usr/bin/env bash
# Rebuilds a release that this machine made on today's Debian, as anyone
# would check it: in a minimal Debian 13 root (in_debian_root.sh) with only
# cmake and mmdebstrap, from its source archive and its record, with the
# publisher's public keys. Every file must be identical and every signature
# good; and a copy in which one package was changed, and SHA256SUMS with it,
# as a forger would, must be refused, that package named.
#
#   .ci/check_rebuild.sh <release> <folder of its keys>        (as root)
#
# The folder of keys holds key.asc, the OpenPGP key, and ca.pem, the authority
# of the Windows programs' certificate. The rebuild's build root is kept in
# /var/tmp/sphere-ci/build-roots, which the release's shares.
set -euo pipefail
cd "$(dirname "$0")/.."
.ci/in_debian_root.sh trixie "$1=/release" "$2=/keys" \
  /var/tmp/sphere-ci/build-roots=/var/cache/sphere-build-roots <<'EOF_ROOT'
install cmake mmdebstrap
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
EOF_ROOT
