#!/usr/bin/env bash
# Rebuilds one target of a release as an ordinary user would, on this host:
# a user with subordinate ids and nothing in its cache, in its own clone of
# the commit, through unprivileged user namespaces, in a root of what that
# target needs. The target's files must be identical, every other file "not
# rebuilt", and every signature good.
#
#   .ci/check_rebuild_as_user.sh <release> <folder of its keys> <target>   (as root)
set -euo pipefail
cd "$(dirname "$0")/.."
release=$1 keys=$2 target=$3
user=sphere-rebuilder
# useradd gives a new user its subordinate ids, where /etc/subuid exists.
touch /etc/subuid /etc/subgid
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
grep -q "^$user:" /etc/subuid || usermod --add-subuids 1000000-1065535 --add-subgids 1000000-1065535 "$user"
home=$(getent passwd "$user" | cut -d: -f6)
# A user reaches its home through /, which a root unpacked from a private
# folder keeps at mode 0700, as the bare machine of ../shared/tools/bare-ci
# does; everywhere else it is 0755 already.
[ "$(stat -c %a /)" = 755 ] || chmod 755 /
rm -rf "$home/sphere" "$home/release" "$home/key.asc" "$home/.cache"
git clone -q . "$home/sphere"
cp -r "$release" "$home/release"
cp "$keys/key.asc" "$home/key.asc"
chown -R "$user:" "$home/sphere" "$home/release" "$home/key.asc"

# As the user, with a user's PATH, which has no /usr/sbin.
status=0
# shellcheck disable=SC2016 # the user's shell expands them
runuser -u "$user" -- env -i HOME="$home" PATH=/usr/local/bin:/usr/bin:/bin CI=true \
  sh -c 'cd "$HOME/sphere" && release/rebuild "$HOME/release" --targets "$1" --public-key "$HOME/key.asc"' \
  sh "$target" >"$home/rebuild.log" 2>&1 || status=$?
json=$home/sphere/build/rebuild/rebuild.json
if [ "$status" -ne 0 ]; then
  cat "$home/rebuild.log" >&2
  echo "the rebuild of $target as $user exited $status" >&2
  exit 1
fi
grep '^\[' "$home/rebuild.log"
echo "the root of $target alone: $(du -h "$home"/.cache/sphere/rebuild-root-*.tar)"
jq -r '.files[] | select(.verdict != "not rebuilt") | "\(.name): \(.verdict) \(.signature // "")"' "$json"
rebuilt=$(jq '[.files[] | select(.verdict == "identical")] | length' "$json")
others=$(jq '[.files[] | select(.verdict == "not rebuilt")] | length' "$json")
jq -e '.verdict == "identical" and ([.files[] | select(.verdict | IN("identical", "not rebuilt") | not)] | length == 0)' \
  "$json" >/dev/null
echo "$user rebuilt $target of the release: $rebuilt files identical, $others of other targets not rebuilt"
