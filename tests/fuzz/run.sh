#!/usr/bin/env bash
# Builds the fuzz targets natively with libFuzzer, ASan and UBSan and fuzzes each from its seed
# corpus: tests/fuzz/run.sh <build-dir> [seconds]. The seconds (90 unless given) are shared: the
# archive reader gets what the six text targets (key names, Base64, version texts, command lines,
# update manifests, the stored page zoom) leave, each of them getting 4/36 of the whole. For a longer run pass more, e.g.
# tests/fuzz/run.sh build/fuzz 3600. New inputs collect in <build-dir>/corpus[-<name>] and crashes
# in <build-dir>/crash-*; the repository's seeds are never written to.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:?usage: run.sh <build-dir> [seconds]}
seconds=${2:-90}
mkdir -p "$out/tmp"
out=$(cd "$out" && pwd)
text_seconds=$(( seconds * 4 / 36 > 0 ? seconds * 4 / 36 : 1 ))
zip_seconds=$(( seconds - 6 * text_seconds > 0 ? seconds - 6 * text_seconds : 1 ))

# build <name> <sources...>: rebuilt when a source or a header it may include is newer.
build() {
  local bin=$out/$1; shift
  if [ ! -x "$bin" ] || [ -n "$(find "$@" "$root/tests/fuzz/"*.h "$root/start/zip/"*.h "$root/start/"*.h \
                                "$root/app/CommandLineText.h" "$root/app/update/UpdateManifest.h" "$root/mainwnd/KeyNames.h" \
                                "$root/browser/PageZoom.h" -newer "$bin" 2>/dev/null)" ]; then
    clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
            -I"$root" "$@" -lz -o "$bin"
  fi
}
build zip_fuzzer "$root/start/zip/ZipCore.cpp" "$root/start/zip/ZipFields.cpp" "$root/start/zip/ZipName.cpp" \
      "$root/tests/fuzz/zip_fuzzer.cpp"
build keynames_fuzzer "$root/mainwnd/KeyNames.cpp" "$root/tests/fuzz/keynames_fuzzer.cpp"
build base64_fuzzer "$root/start/Base64Text.cpp" "$root/tests/fuzz/base64_fuzzer.cpp"
build version_fuzzer "$root/start/VersionNumber.cpp" "$root/tests/fuzz/version_fuzzer.cpp"
build cmdline_fuzzer "$root/app/CommandLineText.cpp" "$root/tests/fuzz/cmdline_fuzzer.cpp"
build pagezoom_fuzzer "$root/browser/PageZoom.cpp" "$root/tests/fuzz/pagezoom_fuzzer.cpp"
build manifest_fuzzer "$root/app/update/UpdateManifest.cpp" "$root/start/VersionNumber.cpp" "$root/start/Base64Text.cpp" \
      "$root/tests/fuzz/manifest_fuzzer.cpp"

export TORVEL_FUZZ_TMP=$out/tmp
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
# fuzz <name> <seconds> <max-len> <own corpus> <seeds>
fuzz() {
  local name=$1 time=$2 len=$3 corpus=$4 seeds=$5 rc=0
  mkdir -p "$corpus"
  (cd "$out" && "$out/${name}_fuzzer" -max_total_time="$time" -timeout=1 -rss_limit_mb=2048 -max_len="$len" \
                                       -print_final_stats=1 "$corpus" "$seeds") >"$out/$name.log" 2>&1 || rc=$?
  echo "$name fuzzer, $time s:"
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)' "$out/$name.log" | sed 's/^/  /' || true
  if [ $rc -ne 0 ]; then
    echo "$name fuzzer failed (exit $rc); log: $out/$name.log" >&2
    tail -n 40 "$out/$name.log" >&2
    status=$rc
  fi
}
fuzz zip "$zip_seconds" 65536 "$out/corpus" "$root/tests/fuzz/corpus"
rm -rf "$out"/tmp/torvel-zipfuzz-*
for name in keynames base64 version cmdline manifest pagezoom; do
  fuzz "$name" "$text_seconds" 4096 "$out/corpus-$name" "$root/tests/fuzz/corpus-$name"
done
exit $status
