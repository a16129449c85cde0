#!/usr/bin/env bash
# Makes the release of this commit into dist/ as a publisher makes one
# (cmake/release.cmake), signed with CI's throwaway keys (make_test_keys.sh),
# every target tested but those given; its build root is kept in CI's cache,
# where the rebuild on Debian 13 finds it.
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
cmake -D OPENPGP_KEY="$(cat "$keys/fingerprint")" -D ALLOW_UNTESTED="$untested" \
  -D WINDOWS_CERT_FILE="$keys/chain.pem" -D WINDOWS_KEY_FILE="$keys/signer.key" \
  -D WINDOWS_PUBLISHER_URL=https://example.org/sphere -D BUILD_ROOT_CACHE="$ci_cache/build-roots" \
  -P cmake/release.cmake
