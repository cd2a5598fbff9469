#!/usr/bin/env bash
# Builds and runs the archive reader benchmark natively: bench/zip/run.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build/bench}
mkdir -p "$out"
c++ -std=c++17 -O2 -DNDEBUG -I"$root" -I"$root/tests" "$root/bench/zip/bench_zip.cpp" \
    "$root/start/zip/ZipCore.cpp" "$root/start/zip/ZipFields.cpp" "$root/start/zip/ZipName.cpp" \
    "$root/tests/unit/zip/TestZipBuilder.cpp" -lz -o "$out/bench_zip"
"$out/bench_zip"
