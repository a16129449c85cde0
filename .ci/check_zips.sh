#!/usr/bin/env bash
# Checks the Windows zips in dist/: each holds its console program for its
# processor, standing on its own, with the notices that its build put
# together, signed: its signature verifies as a user's tools verify it
# (.ci/check_authenticode.sh). It runs under Wine, where it can run here, as
# a user would run it, its lines ended as Windows ends them.
#
#   .ci/check_zips.sh <keys> [<target that cannot run here>]
#
# <keys> is the folder of .ci/make_test_keys.sh.
set -euo pipefail
authenticode=$1
untested=${2:-}
set -a
. tests/wine.env
set +a

while read -r preset architecture triplet emulator; do
  [ "$architecture" = - ] || continue
  unzipped=build/unzipped/$preset
  rm -rf "$unzipped" && mkdir -p "$unzipped"
  cmake -E chdir "$unzipped" cmake -E tar xf "$PWD"/dist/sphere-*-"$preset".zip
  exe=("$unzipped"/*/sphere.exe)
  cmake -D PROGRAM="${exe[0]}" -D OBJDUMP="$triplet-objdump" -P tests/binary/check_windows_exe.cmake
  cmp "$unzipped"/*/NOTICES.txt "build/$preset/NOTICES.txt"
  .ci/check_authenticode.sh "${exe[0]}" "$authenticode"
  if [ "$preset" = "$untested" ]; then
    echo "$preset: its program cannot run here, which runs no 32-bit x86 code"
    continue
  fi
  [[ $emulator != tests/* ]] || emulator=$PWD/$emulator
  export WINEPREFIX=$PWD/$unzipped/wine-prefix
  cmake -D WINE="$emulator" -D STEP=start -P tests/wine.cmake
  CRLF=ON .ci/runs_radius_2.sh "$emulator" "${exe[0]}"
  cmake -D WINE="$emulator" -D STEP=stop -P tests/wine.cmake
  echo "$preset: the signed program, given radius 2, writes what README shows"
done < <(cmake -D FIELDS="preset deb triplet emulator" -P cmake/targets.cmake)
echo "each zip holds its signed console program and its notices"
