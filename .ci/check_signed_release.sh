#!/usr/bin/env bash
# Uses a signed release in dist/ as its users would, trusting nothing but the
# publisher's public keys: every file is what SHA256SUMS says; every
# signature is good with the keys; the signed checksums, the apt repository
# and the RPM repository each accept what the key signed, and refuse what it
# did not.
#
#   .ci/check_signed_release.sh <public keys>    (as root)
#
# The folder of public keys holds key.asc, the OpenPGP key, and ca.pem, the
# authority of the Windows programs' certificate.
set -euo pipefail
public=$1
dist=$PWD/dist
(cd "$dist" && sha256sum --quiet -c SHA256SUMS)
echo "SHA256SUMS: every file as it says"
scratch=$(mktemp -d)
# The GnuPG agents that gpg and dnf start for the key rings here outlive them
# unless told to end.
cleanup() {
  find "$scratch" -type d \( -name other-key -o -name pubring \) -exec gpgconf --homedir {} --kill gpg-agent \;
  rm -rf "$scratch"
}
trap cleanup EXIT
cp "$public/key.asc" "$scratch/key.asc"
gpg --batch --quiet --dearmor <"$scratch/key.asc" >"$scratch/key.gpg"

# Fails, saying so, unless the command given fails.
refuses() {
  if "$@" >"$scratch/refused.log" 2>&1; then
    echo "accepted what it must refuse: $*" >&2
    exit 1
  fi
}

# Every signature good with the publisher's keys, each checked as the rebuild
# checks it (release/verify_signatures.sh): the checksums', the
# repositories', each RPM package's and each Windows program's.
status=0
verdicts=$(sh release/verify_signatures.sh "$dist" "$scratch/key.asc" "$public/ca.pem") || status=$?
echo "$verdicts"
if [ "$status" -ne 0 ] || [ -z "$verdicts" ]; then
  echo "not every signature is good with the publisher's keys" >&2
  exit 1
fi

# The checksums, refused once one byte of them changes.
sed '1s/^./x/' "$dist/SHA256SUMS" >"$scratch/SHA256SUMS"
refuses gpgv --keyring "$scratch/key.gpg" "$dist/SHA256SUMS.asc" "$scratch/SHA256SUMS"
echo "SHA256SUMS.asc: refused once SHA256SUMS changes"

# apt, with the repository as its only source and lists of its own: updates,
# installs sphere, runs it and removes it.
apt_with() {
  local repository=$1 state=$scratch/apt-$2
  shift 2
  mkdir -p "$state/sources" "$state/lists/partial" "$state/cache/archives/partial"
  printf 'Types: deb\nURIs: file:%s\nSuites: stable\nComponents: main\nSigned-By: %s\n' \
    "$repository" "$scratch/key.asc" >"$state/sources/sphere.sources"
  apt-get -q -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$state/sources" \
    -o Dir::State::Lists="$state/lists" -o Dir::Cache="$state/cache" "$@"
}
apt_with "$dist/debian" good update
apt_with "$dist/debian" good install -y sphere
.ci/runs_radius_2.sh sphere
apt_with "$dist/debian" good remove -y sphere
# A copy whose InRelease another key signed: apt-get update refuses it.
cp -r "$dist/debian" "$scratch/other-debian"
(
  export GNUPGHOME=$scratch/other-key
  mkdir -m 700 "$GNUPGHOME"
  gpg --batch --quiet --passphrase '' --quick-gen-key 'someone else <else@example.org>' ed25519 sign never
  gpg --batch --yes --clearsign --output "$scratch/other-debian/dists/stable/InRelease" \
    "$scratch/other-debian/dists/stable/Release"
) 2>/dev/null
refuses apt_with "$scratch/other-debian" other update
grep -h "is not signed" "$scratch/refused.log"
echo "apt: updated from the repository, installed sphere, ran it with radius 2 as README shows, removed it; refused another key's InRelease"

# dnf, checking packages' and the repository's signatures, in an install
# root of its own: finds sphere; refuses the repository once repomd.xml changes.
dnf_with() {
  local repository=$1 root=$scratch/dnf-$2
  shift 2
  mkdir -p "$root/repos"
  printf '[sphere]\nname=sphere\nbaseurl=file://%s\ngpgcheck=1\nrepo_gpgcheck=1\nskip_if_unavailable=0\ngpgkey=file://%s\n' \
    "$repository" "$scratch/key.asc" >"$root/repos/sphere.repo"
  dnf -y -q --installroot="$root/root" --setopt=reposdir="$root/repos" --releasever=1 "$@"
}
dnf_with "$dist/rpm" good repoquery --arch x86_64 sphere 2>/dev/null | grep -x "sphere-0:[0-9.]*-1.x86_64"
cp -r "$dist/rpm" "$scratch/changed-rpm"
sed -i 's|<revision>|<revision>1|' "$scratch/changed-rpm/repodata/repomd.xml"
refuses dnf_with "$scratch/changed-rpm" changed repoquery sphere
grep -h "signature" "$scratch/refused.log"
echo "dnf: found sphere in the repository; refused it once repomd.xml changed"
