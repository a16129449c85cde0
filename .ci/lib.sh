# shellcheck shell=bash
# What CI's scripts share, sourced from the project's root (. .ci/lib.sh),
# on this machine or in a root of another Debian release.

# Where CI keeps what its runs on one machine share: the release's build
# roots (build-roots/) and the minimal roots of other Debian releases.
# shellcheck disable=SC2034 # used by the scripts that source this file
ci_cache=/var/tmp/sphere-ci

# Installs the packages, said aloud. A mirror in the middle of a sync now and
# then fails an index or two; apt keeps the ones it had, and what cannot be
# installed from them fails here.
apt_install() {
  echo "installing: $*"
  if ! apt-get update -qq; then
    sleep 30
    apt-get update -qq || echo "apt-get update failed; going on with the indexes apt has"
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# Runs one step of CI, a script of .ci/ with its arguments, saying its name
# before it and how long it took after it; a step that fails ends the run,
# named.
# Its standard output is the script's own.
step() {
  local start=$SECONDS
  echo "==== $*" >&2
  "$@" || { echo "==== failed: $*" >&2; exit 1; }
  echo "==== done in $((SECONDS - start)) s: $*" >&2
}
