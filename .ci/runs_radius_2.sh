#!/usr/bin/env bash
# Runs a program as a user would, with radius 2 fed from a pipe, and compares
# what it writes byte for byte with what README shows, its lines ended with
# EOL (\n unless set; a Windows program's are \r\n). The program must succeed.
#
#   [EOL='\r\n'] .ci/runs_radius_2.sh <command>...
#
# The command is the program, or an emulator with its options and the program.
set -euo pipefail
eol=${EOL:-\\n}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
printf '2\n' | "$@" >"$out"
printf 'Enter the radius of a sphere: %bThe volume of this sphere is: 33.51%bThe surface area of this sphere is: 50.27%b' "$eol" "$eol" "$eol" |
  cmp - "$out"
