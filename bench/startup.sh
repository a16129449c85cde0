#!/usr/bin/env bash
# What one run costs, for radius 2 read from a file, next to the same job
# written in C (bench/yardstick.c, stdio, linked dynamically): instructions
# (callgrind), peak memory (/usr/bin/time, the least of 21 runs, since address
# space layout varies it from run to run) and wall time (hyperfine). The
# program does one small job, so nearly all of that is starting up. Both are measured in the same run and environment, since the
# counts move with the size of the environment.
#
#   bench/startup.sh [program]     default: build/release/sphere, built if missing
#
# Needs valgrind, hyperfine, time and a C compiler (Debian packages of those names, gcc).
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=bench/setup.sh
. bench/setup.sh
printf '2\n' >"$work/radius"
yardstick=$work/yardstick
${CC:-cc} -O2 -o "$yardstick" bench/yardstick.c

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$work/callgrind" \
    "$1" <"$work/radius" >/dev/null 2>"$work/valgrind"
  sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' "$work/valgrind"
}

peak_kib() {
  for _ in $(seq 21); do
    /usr/bin/time -f '%M' -o "$work/time" "$1" <"$work/radius" >/dev/null
    cat "$work/time"
  done | sort -n | head -n 1
}

ours=$(instructions "$program")
theirs=$(instructions "$yardstick")
ours_kib=$(peak_kib "$program")
theirs_kib=$(peak_kib "$yardstick")

printf '%-28s %14s %18s\n' "" "instructions" "peak memory (KiB)"
printf '%-28s %14s %18s\n' "$program" "$ours" "$ours_kib"
printf '%-28s %14s %18s\n' "C with stdio, dynamic" "$theirs" "$theirs_kib"
printf '%-28s %14s %18s\n' "ratio" \
  "$(awk "BEGIN { printf \"%.3f\", $ours / $theirs }")" \
  "$(awk "BEGIN { printf \"%.3f\", $ours_kib / $theirs_kib }")"
echo
hyperfine --warmup 50 --runs 2000 --style basic "$program < $work/radius" "$yardstick < $work/radius"
