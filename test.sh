#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine: ./test.sh [--32] [ctest arguments]
# TORVEL_BUILD chooses the build folder (default ./build). TORVEL_SMOKE32=1 (as CI sets) adds the
# shipped 32-bit build's smoke test; --32 adds that and the whole suite again against the 32-bit
# build, under 32-bit Wine through user-mode emulation, after the 64-bit suite.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
out=${TORVEL_BUILD:-$root/build}
run32=none
[ "${TORVEL_SMOKE32:-0}" = 1 ] && run32=smoke
if [ "${1:-}" = --32 ]; then run32=suite; shift; fi
"$root/tools/install-deps.sh"
# The product for 32-bit Windows always builds, with warnings as errors; its test programs only when
# they run.
case $run32 in
  suite) "$root/tools/build.sh" i686 "$out" ;;
  smoke) TORVEL_TARGETS="Torvel_Qerm smoke32" "$root/tools/build.sh" i686 "$out" ;;
  *) TORVEL_TARGETS="Torvel_Qerm" "$root/tools/build.sh" i686 "$out" ;;
esac

# Each part's result for the summary at the end: passed, failed or skipped, with the reason.
declare -A result=()
parts=()
record() {  # part, result
  parts+=("$1")
  result[$1]=$2
}
stop_all() {
  [ "$(type -t wine_env_stop)" = function ] && wine_env_stop
  return 0
}
trap stop_all EXIT INT TERM

"$root/tools/build.sh" x86_64 "$out"
export TORVEL_WINE=$out/wine TORVEL_WINCTL=$out/x86_64/bin/winctl.exe
. "$root/tools/wine-env.sh"
wine_env_start
wine_env_reset_folders

# A name that matches nothing is a mistake, not a pass.
ctest_args=(--output-on-failure --no-tests=error -j"$(nproc)")
started=$(date +%s)
part=0
ctest --test-dir "$out/x86_64" "${ctest_args[@]}" --timeout 120 "$@" || part=$?
echo "suite: $(( $(date +%s) - started )) s"
record "unit and end-to-end tests" "$([ $part -eq 0 ] && echo passed || echo failed)"
if [ -x "$root/tests/fuzz/run.sh" ] && [ $# -eq 0 ]; then
  part=0
  "$root/tests/fuzz/run.sh" "$out/fuzz" || part=$?
  record fuzzers "$([ $part -eq 0 ] && echo passed || echo failed)"
fi
wine_env_stop

if [ "$run32" != none ]; then
  . "$root/tools/suite32.sh"
  run_32bit_parts "$run32" "$@"
fi

# One line per part and the count: a skipped part is neither passed nor failed.
status=0 passed=0 failed=0 skipped=0
for name in "${parts[@]}"; do
  echo "  $name: ${result[$name]}"
  case ${result[$name]} in
    passed*) passed=$((passed + 1)) ;;
    skipped*) skipped=$((skipped + 1)) ;;
    *) failed=$((failed + 1)); status=1 ;;
  esac
done
echo "test.sh: $passed passed, $failed failed, $skipped skipped"
exit $status
