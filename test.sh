#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine: ./test.sh [ctest arguments]
# TORVEL_BUILD chooses the build folder (default ./build); TORVEL_SMOKE32=1 adds the 32-bit smoke test.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
out=${TORVEL_BUILD:-$root/build}
"$root/tools/install-deps.sh"
"$root/tools/build.sh" i686 "$out"
"$root/tools/build.sh" x86_64 "$out"

export TORVEL_WINE=$out/wine TORVEL_WINCTL=$out/x86_64/bin/winctl.exe
. "$root/tools/wine-env.sh"
smoke_pid=""
stop_all() {
  [ -n "$smoke_pid" ] && kill -- -"$smoke_pid" 2>/dev/null
  wine_env_stop
}
trap stop_all EXIT INT TERM
wine_env_start

# TORVEL_SMOKE32=1 also starts the shipped 32-bit client under 32-bit Wine (tools/smoke32.sh). That
# takes many minutes under emulation, so it runs beside the suite, in its own prefix and display, in
# a process group of its own so an interrupted run ends all of it. It starts only now: once 32-bit
# Wine is installed, a new 64-bit prefix sets up its 32-bit half too, under emulation.
if [ "${TORVEL_SMOKE32:-0}" = 1 ]; then
  setsid nice -n 5 "$root/tools/smoke32.sh" "$out" >"$out/smoke32.log" 2>&1 &
  smoke_pid=$!
fi
status=0
ctest --test-dir "$out/x86_64" --output-on-failure --timeout 120 -j"$(nproc)" "$@" || status=$?
if [ -x "$root/tests/fuzz/run.sh" ] && [ $# -eq 0 ]; then
  "$root/tests/fuzz/run.sh" "$out/fuzz" || status=$?
fi
if [ -n "$smoke_pid" ]; then
  wait "$smoke_pid" || status=$?
  smoke_pid=""
  cat "$out/smoke32.log"
fi
exit $status
