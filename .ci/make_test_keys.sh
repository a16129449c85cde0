#!/usr/bin/env bash
# Makes the throwaway keys that CI signs its release with, as a publisher
# signs one, in a folder:
#
#   gnupg/        a GnuPG home with an Ed25519 key, made as of a day before
#                 any release; fingerprint holds its fingerprint
#   ca.pem, .key  a throwaway certificate authority, and other-ca.pem, .key,
#                 another, which did not issue the signer's certificate
#   signer.pem, signer.key, chain.pem
#                 a code-signing certificate (extendedKeyUsage codeSigning)
#                 that ca.pem issued, its key, and the chain of the two
#   public/       what a user who checks the release has: key.asc, the
#                 OpenPGP key, and ca.pem
#
#   .ci/make_test_keys.sh <folder>
set -euo pipefail
keys=$1
export GNUPGHOME=$keys/gnupg
mkdir -m 700 "$GNUPGHOME"
gpg --batch --quiet --faked-system-time '1577836800!' --passphrase '' \
  --quick-gen-key 'sphere CI <ci@example.org>' ed25519 sign never 2>/dev/null
gpg --batch --with-colons --list-secret-keys | awk -F: '/^fpr/ { print $10; exit }' >"$keys/fingerprint"

certificate_authority() {
  openssl req -x509 -newkey rsa:3072 -nodes -days 3650 -subj "/CN=$2" -keyout "$keys/$1.key" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign -out "$keys/$1.pem" 2>/dev/null
}
certificate_authority ca "sphere CI certificate authority"
certificate_authority other-ca "another certificate authority"
openssl req -new -newkey rsa:3072 -nodes -subj "/CN=The sphere developers" -keyout "$keys/signer.key" 2>/dev/null |
  openssl x509 -req -days 3650 -CA "$keys/ca.pem" -CAkey "$keys/ca.key" -CAcreateserial \
    -CAserial "$keys/ca.srl" -extfile <(printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n') \
    -out "$keys/signer.pem" 2>/dev/null
cat "$keys/signer.pem" "$keys/ca.pem" >"$keys/chain.pem"
# Three rebuilders' Ed25519 keys, which sign their rebuilds' verdicts.
mkdir -p "$keys/rebuilders"
for rebuilder in alice bob carol; do
  openssl genpkey -algorithm ed25519 -out "$keys/rebuilders/$rebuilder.key" 2>/dev/null
  openssl pkey -in "$keys/rebuilders/$rebuilder.key" -pubout -out "$keys/rebuilders/$rebuilder.pem"
done
mkdir -p "$keys/public"
gpg --batch --armor --export "$(cat "$keys/fingerprint")" >"$keys/public/key.asc"
cp "$keys/ca.pem" "$keys/public/ca.pem"
