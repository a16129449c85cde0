#!/usr/bin/env bash
# Runs the release tools' tests, and asks each tool for its --help, under the
# oldest Python that they are for, Debian 11's 3.9, in a minimal root of it
# (in_debian_root.sh): a syntax or a call that 3.9 lacks fails here.
#
#   .ci/check_oldest_python.sh        (as root)
set -euo pipefail
cd "$(dirname "$0")/.."
.ci/in_debian_root.sh bullseye <<'EOF_ROOT'
apt_install python3 cmake git gnupg openssl
for tool in release/make release/rebuild release/verify release/build_root.py; do
  python3 "$tool" --help >/dev/null
done
cd tests/release
mapfile -t tables < <(ls ./*_test.py | xargs -n 1 basename | sed 's/\.py$//')
PYTHONPATH=../../release python3 -B -m unittest "${tables[@]}"
echo "$SUITE: the release tools' ${#tables[@]} tables and their --help pass under $(python3 --version)"
EOF_ROOT
