#!/usr/bin/env bash
# Checks the release against the rebuilders' signed verdicts, as a user
# would (release/verify), with the verdicts that check_rebuild.sh filed in
# <keys>/rebuilt/verdicts: alice's and bob's on the release, carol's on the
# forger's copy, <keys>/rebuilt/forged. Two
# trusted rebuilders must vouch for every file; a copy with one file changed
# must fail, naming it; an envelope signed by a key that is not trusted,
# even one filed as a trusted rebuilder's key, must not count; and carol's
# verdict that the forger's files failed must fail them, naming her.
#
#   .ci/check_verdicts.sh <release> <keys>        (as root)
set -euo pipefail
cd "$(dirname "$0")/.."
release=$1 keys=$2
verdicts=$keys/rebuilt/verdicts rebuilders=$keys/rebuilders
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# <status it must exit with> <arguments>: the JSON is $work/verify.json.
verify() {
  local status=0 expected=$1
  shift
  release/verify "$@" --verdicts "$verdicts" --json >"$work/verify.json" 2>"$work/verify.err" || status=$?
  if [ "$status" -ne "$expected" ]; then
    cat "$work/verify.json" "$work/verify.err" >&2
    echo "release/verify $* exited $status, not $expected" >&2
    exit 1
  fi
}
trusted=$rebuilders/alice.pem,$rebuilders/bob.pem,$rebuilders/carol.pem

start=$SECONDS
verify 0 "$release" --trust "$trusted" --min-rebuilders 2 --public-key "$keys/public/key.asc"
echo "release/verify: every one of the $(jq '.files | length' "$work/verify.json") files has two trusted rebuilders or more, in $((SECONDS - start)) s"

cp -r "$release" "$work/changed"
zips=("$work"/changed/*.zip)
zip=$(basename "${zips[0]}")
printf 'x' >>"$work/changed/$zip"
verify 1 "$work/changed" --trust "$trusted" --min-rebuilders 2
jq -e --arg name "$zip" '[.files[] | select(.passed | not) | .name] == [$name]' "$work/verify.json" >/dev/null ||
  { echo "release/verify did not name the changed $zip alone" >&2; exit 1; }
echo "release/verify: a copy with $zip changed fails, naming it"

# mallory signs alice's statement, keeps alice's keyid, and files her key as alice's.
openssl genpkey -algorithm ed25519 -out "$work/mallory.key" 2>/dev/null
version=$(cmake -P cmake/project_facts.cmake | sed -n "s/^SPHERE_VERSION=//p")
mkdir -p "$verdicts/$version/mallory"
PYTHONPATH=release python3 - "$verdicts/$version" "$work/mallory.key" "$verdicts/keys" <<'EOF'
import base64, json, subprocess, sys
import verdicts
folder, key, keys = sys.argv[1:]
with open(f"{folder}/alice/rebuild.intoto.json") as envelope:
    sealed = json.load(envelope)
signature = verdicts.sign(key, verdicts.pae(sealed["payloadType"], base64.b64decode(sealed["payload"])))
sealed["signatures"] = [{"keyid": sealed["signatures"][0]["keyid"], "sig": base64.b64encode(signature).decode()}]
with open(f"{folder}/mallory/rebuild.intoto.json", "w") as envelope:
    json.dump(sealed, envelope)
subprocess.run(["openssl", "pkey", "-in", key, "-pubout", "-out", f"{keys}/alice.pem"], check=True)
EOF
verify 1 "$release" --trust "$rebuilders/alice.pem" --min-rebuilders 2
jq -e '[.files[] | .rebuilders == ["alice"]] | all' "$work/verify.json" >/dev/null ||
  { echo "release/verify counted an envelope that alice's key did not sign" >&2; exit 1; }
echo "release/verify: an envelope signed by a key that is not trusted, filed as alice's, is not counted"

verify 1 "$keys/rebuilt/forged" --trust "$trusted" --min-rebuilders 2
jq -r '.files[] | select(.failed_by != []) | "\(.name): failed, says \(.failed_by | join(", "))"' "$work/verify.json"
for file in $(cd "$keys/rebuilt/forged" && find . -type f | sed 's|^\./||'); do
  cmp -s "$keys/rebuilt/forged/$file" "$release/$file" && continue
  jq -e --arg name "$file" '.files[] | select(.name == $name) | .failed_by == ["carol"]' "$work/verify.json" \
    >/dev/null || { echo "release/verify did not name carol's verdict on the forger's $file" >&2; exit 1; }
done
echo "release/verify: carol's verdict that the forger's files failed fails them, naming her"
