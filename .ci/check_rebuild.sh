#!/usr/bin/env bash
# Rebuilds a release that this machine made on today's Debian, as anyone
# would check it: in a minimal Debian 13 root (in_debian_root.sh) with only
# what doc/releasing.md says a host needs, and jq, which reads the rebuild's
# JSON here; from a clone of the commit, with the publisher's public keys.
# Every file must be identical and every signature good; a forger's copy, in
# which one package and the source archive's release code were changed, and
# SHA256SUMS with them, must be refused with both named; a release whose
# record is of a commit other than its signed tag's must be refused, naming
# both; and a release of a commit the clone lacks must not run. Each verdict
# is read from the rebuild's JSON and its exit status. Two rebuilders sign
# the honest rebuild's verdict and a third the forger's copy's, each filed in
# <out>/verdicts, the forger's copy in <out>/forged.
#
#   .ci/check_rebuild.sh <release> <folder of its keys> <rebuilders' keys> <out>   (as root)
#
# The folder of keys holds key.asc, the OpenPGP key, and ca.pem, the authority
# of the Windows programs' certificate; the rebuilders' folder, alice.key,
# bob.key and carol.key. The rebuild makes its own root, from
# the release's record, and keeps it in CI's cache beside the release's.
set -euo pipefail
cd "$(dirname "$0")/.."
. .ci/lib.sh
.ci/in_debian_root.sh trixie "$1=/release" "$2=/keys" "$3=/rebuilders" "$4=/out" \
  "$ci_cache/build-roots=/var/cache/sphere-build-roots" <<'EOF_ROOT'
read -ra host < <(grep -o 'apt-get install [a-z0-9+.-][a-z0-9+. -]*' doc/releasing.md | head -n 1 | cut -d ' ' -f 3-)
[ ${#host[@]} -gt 0 ] || { echo "doc/releasing.md names no packages for the host" >&2; exit 1; }
apt_install "${host[@]}" jq
# <release> <status it must exit with> [<rebuilder who signs its verdict>]:
# the rebuild's JSON is /root/rebuild/rebuild.json.
rebuild() {
  local status=0 start=$SECONDS signer=()
  [ -z "${3:-}" ] || signer=(--sign-with "/rebuilders/$3.key" --rebuilder "$3" --file-in /out/verdicts)
  release/rebuild "$1" --public-key /keys/key.asc --windows-ca /keys/ca.pem "${signer[@]}" \
    --cache /var/cache/sphere-build-roots --work /root/rebuild >/root/rebuild.log 2>&1 || status=$?
  if [ "$status" -ne "$2" ]; then
    cat /root/rebuild.log >&2
    echo "$SUITE: the rebuild of $1 exited $status, not $2" >&2
    exit 1
  fi
  echo "$SUITE: the rebuild of $1 took $((SECONDS - start)) s"
}
# The files whose verdict is not <verdict>, or whose signature is not good.
files_not() {
  jq -r --arg verdict "$1" '.files[] | select(.verdict != $verdict or (.signature // "good" | startswith("good") | not))
    | "\(.name): \(.verdict) \(.signature // "")"' /root/rebuild/rebuild.json
}

rebuild /release 0 alice
grep '^\[\|^Tag\|^tag' /root/rebuild.log
[ -z "$(files_not identical)" ] || { files_not identical >&2; exit 1; }
echo "$SUITE: the release, rebuilt here, is identical, file for file ($(jq '.files | length' /root/rebuild/rebuild.json)), and its signatures good"
# The second rebuilder compares the rebuild kept in the work folder again.
rebuild /release 0 bob
grep '^Signed' /root/rebuild.log

# A forger's copy: one package changed, and a line added to the source
# archive's release code, its commit kept; SHA256SUMS to match.
cp -r /release /root/forged
cd /root/forged
deb=$(ls sphere_*_"$(dpkg --print-architecture)".deb)
archive=$(basename ./*.buildinfo .buildinfo).tar.gz
printf 'x' >>"$deb"
mkdir /root/forged-source
tar -C /root/forged-source -xzf "$archive"
top=$(ls /root/forged-source)
echo '# forged' >>"/root/forged-source/$top/release/stages.py"
tar -C /root/forged-source -cf - "$top" | gzip -9 -n >"$archive"
for file in "$deb" "$archive"; do
  sed -i "s|^[0-9a-f]*  $file\$|$(sha256sum "$file")|" SHA256SUMS
done
cd /root/sphere
rebuild /root/forged 1 carol
grep '^Signed' /root/rebuild.log
cp -r /root/forged /out/forged
jq -r '.files[] | select(.verdict != "identical") | "\(.name): \(.verdict) \(.signature // "")"' /root/rebuild/rebuild.json
for file in "$deb" "$archive"; do
  jq -e --arg name "$file" '.files[] | select(.name == $name and .verdict == "different")' \
    /root/rebuild/rebuild.json >/dev/null || { echo "$SUITE: the rebuild did not name the forger's $file" >&2; exit 1; }
done
echo "$SUITE: the rebuild refused the forger's copy (exit 1), naming $deb and $archive"

# A snapshot: a release whose record is of a commit made after the signed
# tag's, untagged; refused before anything is built.
git -c user.name="sphere CI" -c user.email=ci@example.org commit -q --allow-empty -m "after the release"
snapshot=$(git rev-parse HEAD) tagged=$(git rev-parse HEAD~1)
cp -r /release /root/snapshot
sed -i -e "s/^Commit: .*/Commit: $snapshot/" -e 's/^Tag: .*/Tag: none (a snapshot: no release tag)/' \
  /root/snapshot/*.buildinfo
rebuild /root/snapshot 1
grep '^error: ' /root/rebuild.log
grep -q "$snapshot" /root/rebuild.log && grep -q "$tagged" /root/rebuild.log ||
  { echo "$SUITE: the rebuild of a snapshot did not name both commits" >&2; exit 1; }
echo "$SUITE: the rebuild refused a snapshot, a release of a commit other than its signed tag's (exit 1), naming both"

# A release of a commit that this clone lacks: nothing runs.
cp -r /release /root/elsewhere
sed -i 's/^Commit: .*/Commit: 0123456789abcdef0123456789abcdef01234567/' /root/elsewhere/*.buildinfo
rebuild /root/elsewhere 2
grep '^error: ' /root/rebuild.log
echo "$SUITE: the rebuild of a commit this clone lacks did not run (exit 2)"
EOF_ROOT
