# shellcheck shell=bash
# Sourced by the benchmarks, from the project's root, with their arguments:
# sets `program` (the first argument, or build/release/sphere, built if
# missing) and `work` (a scratch folder, removed on exit).
program=${1:-build/release/sphere}
if [ $# -eq 0 ] && [ ! -x "$program" ]; then
  cmake --workflow --preset release >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
