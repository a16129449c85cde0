#!/usr/bin/env bash
# What a very long number costs: peak memory (/usr/bin/time) and wall time for
# radii of 64 MiB of digits, against the same program reading radius 2. Only
# the first few hundred digits are kept, so memory should stay near that of
# the short run whatever the length.
#
#   bench/long_number.sh [program]     default: build/release/sphere, built if missing
#
# Needs time (the Debian package of that name).
set -euo pipefail
cd "$(dirname "$0")/.."

# shellcheck source=bench/setup.sh
. bench/setup.sh
digits() { head -c 67108864 /dev/zero | tr '\0' "$1"; }
printf '2\n' >"$work/short"
{ digits 9; echo; } >"$work/nines"
{ printf 1; digits 0; printf 'e-67108864\n'; } >"$work/exponent"
{ printf 0.; digits 0; printf '1\n'; } >"$work/fraction"
{ printf 2e; digits 0; printf '1\n'; } >"$work/in-exponent"

printf '%-14s %18s %10s\n' input "peak memory (KiB)" seconds
for input in short nines exponent fraction in-exponent; do
  /usr/bin/time -f '%M %e' -o "$work/time" "$program" <"$work/$input" >/dev/null 2>&1 || true
  read -r kib seconds < <(tail -n 1 "$work/time")
  printf '%-14s %18s %10s\n' "$input" "$kib" "$seconds"
done
