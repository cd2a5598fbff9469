#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine: ./test.sh [ctest arguments]
# TORVEL_BUILD chooses the build folder (default ./build).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
out=${TORVEL_BUILD:-$root/build}
"$root/tools/install-deps.sh"
"$root/tools/build.sh" i686 "$out"
"$root/tools/build.sh" x86_64 "$out"

export TORVEL_WINE=$out/wine TORVEL_WINCTL=$out/x86_64/bin/winctl.exe
. "$root/tools/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start
status=0
ctest --test-dir "$out/x86_64" --output-on-failure --timeout 120 -j"$(nproc)" "$@" || status=$?
if [ -x "$root/tests/fuzz/run.sh" ] && [ $# -eq 0 ]; then
  "$root/tests/fuzz/run.sh" "$out/fuzz" || status=$?
fi
exit $status
