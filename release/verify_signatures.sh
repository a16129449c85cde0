#!/bin/sh
# Verifies every signature of a published release with the publisher's public
# keys, as its users' tools verify them, and prints one line for each signed
# file: "<path>: good ..." or "<path>: bad ...", the path within the release;
# exits 1 where one is bad. release/rebuild runs it in the build root, where
# each tool is, of whatever record: it is shell, since a root of a record
# from before the release tools were Python has no python3. CI runs it on
# its host too.
#
#   sh release/verify_signatures.sh <release> <OpenPGP key> [<certificate authority>]
#
# gpgv checks SHA256SUMS.asc, and the apt and RPM repositories' signatures;
# rpm -K each RPM package's, with the key trusted in an rpm database of its
# own; osslsigncode each zipped Windows program's Authenticode signature,
# where the authority that issued the publisher's certificate is given.
set -u
release=$1
key=$2
authority=${3:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
gpg --batch --quiet --dearmor <"$key" >"$scratch/key.gpg"
status=0
# <path> <why>: a signature that is not good.
bad() {
  echo "$1: bad: $2"
  status=1
}

# <path> <detached signature> <signed file>, or <path> <clear-signed file>.
gpgv_verdict() {
  path=$1
  shift
  if gpgv --quiet --keyring "$scratch/key.gpg" --output "$scratch/signed" "$@" >/dev/null 2>"$scratch/log"; then
    echo "$path: good, by the publisher's key"
  else
    bad "$path" "$(tr '\n' ' ' <"$scratch/log")"
  fi
}
cd "$release" || exit 2
[ ! -f SHA256SUMS.asc ] || gpgv_verdict SHA256SUMS.asc SHA256SUMS.asc SHA256SUMS
apt=debian/dists/stable
if [ -f "$apt/InRelease" ]; then
  gpgv_verdict "$apt/InRelease" "$apt/InRelease"
  # What it signs must be the Release file beside it, which is compared.
  cmp -s "$scratch/signed" "$apt/Release" || bad "$apt/InRelease" "it signs another text than $apt/Release"
fi
[ ! -f "$apt/Release.gpg" ] || gpgv_verdict "$apt/Release.gpg" "$apt/Release.gpg" "$apt/Release"
repomd=rpm/repodata/repomd.xml
[ ! -f "$repomd.asc" ] || gpgv_verdict "$repomd.asc" "$repomd.asc" "$repomd"

echo "%_dbpath $scratch/rpmdb" >"$scratch/.rpmmacros"
HOME=$scratch rpm --import "$key"
for package in *.rpm rpm/*.rpm; do
  [ -f "$package" ] || continue
  if HOME=$scratch rpm -K "$package" 2>&1 | grep -q ": digests signatures OK$"; then
    echo "$package: good, its digests and signature"
  else
    bad "$package" "$(HOME=$scratch rpm -Kv "$package" 2>&1 | tr '\n' ' ')"
  fi
done

[ -n "$authority" ] || exit "$status"
for zip in *.zip; do
  [ -f "$zip" ] || continue
  rm -rf "$scratch/zip" && mkdir "$scratch/zip"
  (cd "$scratch/zip" && cmake -E tar xf "$release/$zip")
  for program in "$scratch"/zip/*/sphere.exe; do
    if osslsigncode verify -CAfile "$authority" -in "$program" >"$scratch/log" 2>&1; then
      echo "$zip: good, its program's Authenticode signature, by $(sed -n 's/^[[:space:]]*Subject: *//p' "$scratch/log" | head -n 1)"
    else
      bad "$zip" "its program's Authenticode signature does not verify: $(grep -i -m 3 'fail\|error\|mismatch' "$scratch/log" | tr '\n' ' ')"
    fi
  done
done
exit "$status"
