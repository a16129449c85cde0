#!/usr/bin/env bash
# Makes the release of this commit into dist/ as a publisher makes one
# (release/make), signed with CI's throwaway keys (make_test_keys.sh), every
# target tested but those given; its build root is kept in CI's cache.
#
#   .ci/release.sh <keys> [<targets allowed untested>]      (as root)
set -euo pipefail
cd "$(dirname "$0")/.."
. .ci/lib.sh
keys=$1
untested=${2:-}
export GNUPGHOME=$keys/gnupg
# The secret key is used here alone: its agent ends with the release, long
# before the run does.
trap 'gpgconf --kill gpg-agent' EXIT
release/make --openpgp-key "$(cat "$keys/fingerprint")" --allow-untested "$untested" \
  --windows-cert "$keys/chain.pem" --windows-key "$keys/signer.key" \
  --windows-publisher-url https://example.org/sphere --cache "$ci_cache/build-roots"
