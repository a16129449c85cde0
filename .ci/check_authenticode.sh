#!/usr/bin/env bash
# Checks that a Windows program's Authenticode signature holds as a user's
# tools hold it: osslsigncode, which accepts it against the certificate
# authority that issued the publisher's certificate (and says by whom, in
# check_signed_release.sh), refuses it with one byte changed, and against
# another authority.
#
#   .ci/check_authenticode.sh <program> <folder>
#
# The folder holds ca.pem, the authority that issued the signer's
# certificate, and other-ca.pem, one that did not.
set -euo pipefail
program=$1
folder=$2
log=$folder/verify.log
verifies() {
  osslsigncode verify -CAfile "$1" -in "$2" >"$log" 2>&1
}

if ! verifies "$folder/ca.pem" "$program"; then
  cat "$log" >&2
  echo "$program: its signature does not verify against the authority that issued it" >&2
  exit 1
fi

# One byte of the code, which begins where the headers end, at 0x400 in a
# program that MinGW-w64's linker writes.
changed=$folder/changed.exe
cp "$program" "$changed"
offset=1024
byte=$(od -An -tu1 -j "$offset" -N 1 "$changed" | tr -d ' ')
printf %b "\\0$(printf '%03o' $(((byte + 1) % 256)))" | dd of="$changed" bs=1 seek="$offset" conv=notrunc status=none
if verifies "$folder/ca.pem" "$changed"; then
  echo "$program: its signature still verifies with a byte of its code changed" >&2
  exit 1
fi
if verifies "$folder/other-ca.pem" "$program"; then
  echo "$program: its signature verifies against an authority that did not issue it" >&2
  exit 1
fi
echo "$program: its signature verified against its authority, refused with one byte changed and against another"
