#!/usr/bin/env bash
# Runs a program as a user would, with the input of the end-to-end case
# radius-2 (tests/e2e/cases.cmake) fed from a pipe, and compares what it
# writes byte for byte with that case's output, which README shows too, its
# lines ended as Windows ends them where CRLF is set. The program must succeed.
#
#   [CRLF=ON] .ci/runs_radius_2.sh <command>...
#
# The command is the program, or an emulator with its options and the program.
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake -D NAME=radius-2 -D PREFIX="$scratch/radius-2" -D CRLF="${CRLF:-OFF}" \
  -P "$(dirname "$0")/../tests/e2e/expected_output.cmake"
"$@" < <(cat -- "$scratch/radius-2.in") >"$scratch/out"
cmp "$scratch/radius-2.out" "$scratch/out"
