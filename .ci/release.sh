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
# A release is made of its signed tag: CI's clone gets one, signed with
# CI's key.
version=$(cmake -P cmake/project_facts.cmake | sed -n 's/^SPHERE_VERSION=//p')
git -c user.name="sphere CI" -c user.email=ci@example.org -c gpg.program=gpg \
  tag -f -s -u "$(cat "$keys/fingerprint")" -m "sphere $version" "v$version" >/dev/null
release/make --openpgp-key "$(cat "$keys/fingerprint")" --allow-untested "$untested" \
  --windows-cert "$keys/chain.pem" --windows-key "$keys/signer.key" \
  --windows-publisher-url https://example.org/sphere --cache "$ci_cache/build-roots"
