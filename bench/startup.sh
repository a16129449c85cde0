#!/usr/bin/env bash
# What one run costs, for radius 2 read from a file: instructions (callgrind),
# wall time over many runs (hyperfine) and peak memory (/usr/bin/time -v).
# The program does one small job, so nearly all of that is starting up.
#
#   bench/startup.sh [program]     default: build/release/sphere, built if missing
#
# Needs valgrind, hyperfine and time (Debian packages of those names).
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build/release/sphere}
if [ $# -eq 0 ] && [ ! -x "$program" ]; then
  cmake --workflow --preset release >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '2\n' >"$work/radius"

valgrind --tool=callgrind --callgrind-out-file="$work/callgrind" \
  "$program" <"$work/radius" >/dev/null 2>"$work/valgrind"
instructions=$(sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$work/valgrind")

/usr/bin/time -v "$program" <"$work/radius" >/dev/null 2>"$work/time"
peak_kb=$(sed -n 's/.*Maximum resident set size (kbytes): *//p' "$work/time")

echo "program:      $program"
echo "instructions: $instructions per run"
echo "peak memory:  $peak_kb KiB"
hyperfine --warmup 50 --runs 2000 --style basic "$program < $work/radius"
