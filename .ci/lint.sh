#!/usr/bin/env bash
# Checks what is written, every tracked file of each language, as git lists
# them: C++ style (clang-format, .clang-format); lint (clang-tidy: .clang-tidy,
# and tests/.clang-tidy for the tests) of every C++ source that the test build
# compiles, with its compile commands: the program's and the unit tests'; and
# every shell script (shellcheck, following what they source). The fuzz
# target and the Windows probe program are built only by Clang's fuzz build
# and by MinGW-w64, and are formatted, not linted.
#
#   .ci/lint.sh        (from the project's root)
set -euo pipefail

mapfile -t cxx < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${cxx[@]}"
echo "clang-format: ${#cxx[@]} files"

cmake --preset test >/dev/null
mapfile -t sources < <(git ls-files 'src/*.cpp' 'tests/unit/*.cpp')
clang-tidy --quiet -p build/test "${sources[@]}"
echo "clang-tidy: ${#sources[@]} files"

# A shell script is a tracked file that starts with a shell's #! line.
scripts=()
while IFS= read -r file; do
  if head -n 1 "$file" | grep -Eq '^#!.*[/ ](ba)?sh$'; then
    scripts+=("$file")
  fi
done < <(git ls-files)
shellcheck -x "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts"
