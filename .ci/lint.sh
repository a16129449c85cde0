#!/usr/bin/env bash
# Checks what is written, every tracked file of each language, as git lists
# them: C++ style (clang-format, .clang-format) and lint (clang-tidy:
# .clang-tidy, and tests/.clang-tidy for the tests); the CMake files' style
# (cmake-format, .cmake-format.yaml); every shell script (shellcheck,
# following what they source); and every Python file (flake8, .flake8),
# which must also parse as Python 3.9, the oldest the release tools run on.
#
#   .ci/lint.sh        (from the project's root)
set -euo pipefail

mapfile -t cxx < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${cxx[@]}"
echo "clang-format: ${#cxx[@]} files"

# Each C++ source is linted with the compile commands of the first build that
# compiles it: the test build, Clang's fuzz build, or the 64-bit Windows
# build, for which clang is pointed at MinGW-w64's own headers.
builds=(test fuzz windows-x64)
for preset in "${builds[@]}"; do
  cmake --preset "$preset" -D CMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
done
mingw=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc)
while IFS= read -r folder; do
  mingw+=("--extra-arg=-isystem$folder")
done < <(x86_64-w64-mingw32-g++ -x c++ -E -v - </dev/null 2>&1 |
  sed -n '/^#include <...> search starts here:/,/^End of search list/{//!s/^ //p}')
mapfile -t sources < <(git ls-files '*.cpp')
for source in "${sources[@]}"; do
  for preset in "${builds[@]}" none; do
    if [ "$preset" = none ]; then
      echo "no build of ${builds[*]} compiles $source, so nothing lints it" >&2
      exit 1
    elif grep -q "\"file\": \"$PWD/$source\"" "build/$preset/compile_commands.json"; then
      options=()
      [ "$preset" != windows-x64 ] || options=("${mingw[@]}")
      clang-tidy --quiet -p "build/$preset" "${options[@]}" "$source"
      break
    fi
  done
done
echo "clang-tidy: ${#sources[@]} files"

mapfile -t cmake < <(git ls-files '*.cmake' 'CMakeLists.txt' '*/CMakeLists.txt')
for file in "${cmake[@]}"; do
  cmake-format --check "$file" -c .cmake-format.yaml ||
    { echo "cmake-format -i $file -c .cmake-format.yaml formats it" >&2; exit 1; }
done
echo "cmake-format: ${#cmake[@]} files"

# A shell script is a tracked file that starts with a shell's #! line, or
# is named *.sh, as a sourced one is (its shell directive says which); a
# Python one, with python3's, or is named *.py.
scripts=()
python=()
while IFS= read -r file; do
  if [[ $file == *.sh ]] || head -n 1 "$file" | grep -Eq '^#!.*[/ ](ba)?sh$'; then
    scripts+=("$file")
  elif [[ $file == *.py ]] || head -n 1 "$file" | grep -Eq '^#!.*[/ ]python3$'; then
    python+=("$file")
  fi
done < <(git ls-files)
shellcheck -x "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts"
flake8 "${python[@]}"
python3 -c 'import ast, sys
for path in sys.argv[1:]:
    with open(path) as file:
        ast.parse(file.read(), path, feature_version=(3, 9))' "${python[@]}"
echo "flake8: ${#python[@]} files, each of Python 3.9's syntax"
