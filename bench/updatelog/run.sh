#!/usr/bin/env bash
# Builds and runs the version-check benchmark under Wine: bench/updatelog/run.sh [build-root]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build}
# Configure (again): the target comes from a folder that a fresh checkout may not have seen yet.
cmake -S "$root" -B "$out/x86_64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64.cmake" \
      -DTORVEL_WERROR=ON >/dev/null
cmake --build "$out/x86_64" --target bench_updatelog -j"$(nproc)" -- --no-print-directory >/dev/null
export TORVEL_WINE=$out/wine
. "$root/tools/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start
/usr/lib/wine/wine64 "$out/x86_64/bin/bench_updatelog.exe"
