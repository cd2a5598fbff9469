#!/usr/bin/env bash
# Builds the archive reader's core natively with libFuzzer, ASan and UBSan and fuzzes it from the
# seed corpus: tests/fuzz/run.sh <build-dir> [seconds]. CI gives it 60 seconds; for a longer run
# pass more, e.g. tests/fuzz/run.sh build/fuzz 3600. New inputs collect in <build-dir>/corpus and
# crashes in <build-dir>/crash-*; the repository's seeds are never written to.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:?usage: run.sh <build-dir> [seconds]}
seconds=${2:-60}
mkdir -p "$out/corpus" "$out/tmp"
out=$(cd "$out" && pwd)

bin=$out/zip_fuzzer
srcs=("$root/start/zip/ZipCore.cpp" "$root/start/zip/ZipFields.cpp" "$root/start/zip/ZipName.cpp"
      "$root/tests/fuzz/zip_fuzzer.cpp")
if [ ! -x "$bin" ] || [ -n "$(find "${srcs[@]}" "$root/start/zip/"*.h \
                              -newer "$bin" 2>/dev/null)" ]; then
  clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
          -I"$root" "${srcs[@]}" -lz -o "$bin"
fi

export TORVEL_FUZZ_TMP=$out/tmp
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
(cd "$out" && "$bin" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -max_len=65536 \
                     -print_final_stats=1 "$out/corpus" "$root/tests/fuzz/corpus") >"$out/fuzz.log" 2>&1 \
  || status=$?
rm -rf "$out"/tmp/torvel-zipfuzz-*
grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' "$out/fuzz.log" || true
if [ $status -ne 0 ]; then
  echo "zip fuzzer failed (exit $status); log: $out/fuzz.log" >&2
  tail -n 40 "$out/fuzz.log" >&2
fi
exit $status
