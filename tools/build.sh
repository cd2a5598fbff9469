#!/usr/bin/env bash
# Configures and builds one architecture: tools/build.sh i686|x86_64 [build-root] [extra cmake args]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1; out=${2:-$root/build}; shift $(( $# >= 2 ? 2 : 1 ))
dir=$out/$arch
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
        -DTORVEL_WERROR=ON "$@" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)" -- --no-print-directory
