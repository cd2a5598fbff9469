#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine: ./test.sh [ctest arguments]
# TORVEL_BUILD chooses the build folder (default ./build); TORVEL_SMOKE32=1 adds the 32-bit smoke test.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
out=${TORVEL_BUILD:-$root/build}
"$root/tools/install-deps.sh"
"$root/tools/build.sh" i686 "$out"

# TORVEL_SMOKE32=1 also starts the shipped 32-bit client under 32-bit Wine (tools/smoke32.sh). Under
# emulation that takes many minutes, most of them spent preparing its own prefix, so it starts now and
# runs beside the x86_64 build and the suite, in its own prefix and display and in a process group of
# its own, so an interrupted run ends all of it. Its packages come first: once 32-bit Wine is
# installed, a new 64-bit prefix sets up its 32-bit half too.
smoke_pid=""
if [ "${TORVEL_SMOKE32:-0}" = 1 ]; then
  if why=$("$root/tools/smoke32-setup.sh" 2>&1 >/dev/null); then
    # A hang under emulation must not hold the run: the smoke gets 55 minutes, and its own trap ends
    # its Wine when the time is up.
    setsid nice -n 5 timeout -k 60 55m "$root/tools/smoke32.sh" "$out" >"$out/smoke32.log" 2>&1 &
    smoke_pid=$!
  else
    echo "32-bit smoke: skipped, ${why:-this machine cannot run 32-bit programs}"
  fi
fi
stop_all() {
  [ -n "$smoke_pid" ] && kill -- -"$smoke_pid" 2>/dev/null
  [ "$(type -t wine_env_stop)" = function ] && wine_env_stop
  return 0
}
trap stop_all EXIT INT TERM

"$root/tools/build.sh" x86_64 "$out"
export TORVEL_WINE=$out/wine TORVEL_WINCTL=$out/x86_64/bin/winctl.exe
. "$root/tools/wine-env.sh"
wine_env_start

# Beside the emulated client the suite keeps to one core, so no test waits on a starved machine.
jobs=$(nproc)
[ -n "$smoke_pid" ] && jobs=1
status=0
started=$(date +%s)
ctest --test-dir "$out/x86_64" --output-on-failure --timeout 120 -j"$jobs" "$@" || status=$?
echo "suite: $(( $(date +%s) - started )) s"
if [ -x "$root/tests/fuzz/run.sh" ] && [ $# -eq 0 ]; then
  "$root/tests/fuzz/run.sh" "$out/fuzz" || status=$?
fi
if [ -n "$smoke_pid" ]; then
  smoke_status=0
  wait "$smoke_pid" || smoke_status=$?
  smoke_pid=""
  cat "$out/smoke32.log"
  [ $smoke_status -eq 124 ] && echo "32-bit smoke: FAILED, not finished after 55 minutes"
  [ $smoke_status -ne 0 ] && status=$smoke_status
fi
exit $status
