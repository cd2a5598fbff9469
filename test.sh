#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine: ./test.sh [ctest arguments]
# TORVEL_BUILD chooses the build folder (default ./build); TORVEL_SMOKE32=1 adds the 32-bit smoke test.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
out=${TORVEL_BUILD:-$root/build}
"$root/tools/install-deps.sh"
"$root/tools/build.sh" i686 "$out"

# Each part's result for the summary at the end: passed, failed or skipped, with the reason.
declare -A result=()
stop_all() {
  [ "$(type -t wine_env_stop)" = function ] && wine_env_stop
  return 0
}
trap stop_all EXIT INT TERM

"$root/tools/build.sh" x86_64 "$out"
export TORVEL_WINE=$out/wine TORVEL_WINCTL=$out/x86_64/bin/winctl.exe
. "$root/tools/wine-env.sh"
wine_env_start
# A test that died while it pointed the application-data or pictures folder elsewhere left that in
# the prefix, which every run shares: each run starts with the prefix's own folders.
for folder in 'AppData=%USERPROFILE%\AppData\Roaming' 'My Pictures=%USERPROFILE%\Pictures'; do
  "$WINE_LOADER" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
    /v "${folder%%=*}" /t REG_EXPAND_SZ /d "${folder#*=}" /f </dev/null >/dev/null 2>&1 || true
done

status=0
started=$(date +%s)
part=0
ctest --test-dir "$out/x86_64" --output-on-failure --no-tests=error --timeout 120 -j"$(nproc)" "$@" || part=$?
echo "suite: $(( $(date +%s) - started )) s"
result[unit and end-to-end tests]=$([ $part -eq 0 ] && echo passed || echo failed)
if [ -x "$root/tests/fuzz/run.sh" ] && [ $# -eq 0 ]; then
  part=0
  "$root/tests/fuzz/run.sh" "$out/fuzz" || part=$?
  result[fuzzers]=$([ $part -eq 0 ] && echo passed || echo failed)
fi
# TORVEL_SMOKE32=1 adds the shipped 32-bit client under emulation (tools/smoke32.sh), in a prefix and
# display of its own; a hang there must not hold the run.
if [ "${TORVEL_SMOKE32:-0}" = 1 ]; then
  set +e
  timeout -k 30 15m "$root/tools/smoke32.sh" "$out" 2>&1 | tee "$out/smoke32.log"
  part=${PIPESTATUS[0]}
  set -e
  case $part in
    0) result[32-bit smoke]=passed ;;
    77) result[32-bit smoke]="skipped ($(sed -n 's/^32-bit smoke: skipped, //p' "$out/smoke32.log" | tail -1))" ;;
    124) result[32-bit smoke]="failed (not finished after 15 minutes)" ;;
    *) result[32-bit smoke]="failed ($part)" ;;
  esac
fi

# One line per part and the count: a skipped part is neither passed nor failed.
passed=0 failed=0 skipped=0
for name in "unit and end-to-end tests" fuzzers "32-bit smoke"; do
  [ -n "${result[$name]:-}" ] || continue
  echo "  $name: ${result[$name]}"
  case ${result[$name]} in
    passed) passed=$((passed + 1)) ;;
    skipped*) skipped=$((skipped + 1)) ;;
    *) failed=$((failed + 1)); status=1 ;;
  esac
done
echo "test.sh: $passed passed, $failed failed, $skipped skipped"
exit $status
