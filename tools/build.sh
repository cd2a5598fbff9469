#!/usr/bin/env bash
# Configures and builds one architecture: tools/build.sh i686|x86_64 [build-root] [extra cmake args]
# TORVEL_TARGETS names the targets to build (default: everything the build folder holds).
# ccache is used when it is installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1; out=${2:-$root/build}; shift $(( $# >= 2 ? 2 : 1 ))
dir=$out/$arch
if [ ! -f "$dir/CMakeCache.txt" ]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
        -DTORVEL_WERROR=ON "${launcher[@]}" "$@" >/dev/null
fi
targets=()
for t in ${TORVEL_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}" -- --no-print-directory
