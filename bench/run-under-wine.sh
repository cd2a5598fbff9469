#!/usr/bin/env bash
# Builds one benchmark of the x86_64 tree and runs it under Wine: bench/run-under-wine.sh <target> [build-root]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=$1
out=${2:-$root/build}
# Configure (again): the target comes from a folder that a fresh checkout may not have seen yet.
cmake -S "$root" -B "$out/x86_64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64.cmake" \
      -DTORVEL_WERROR=ON >/dev/null
cmake --build "$out/x86_64" --target "$target" -j"$(nproc)" -- --no-print-directory >/dev/null
export TORVEL_WINE=$out/wine
. "$root/tools/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start
"$WINE_LOADER" "$out/x86_64/bin/$target.exe"
