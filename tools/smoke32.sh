#!/usr/bin/env bash
# The shipped 32-bit client under 32-bit Wine through user-mode emulation: tools/smoke32.sh [build-root]
# Expects the i686 build in <build-root>/i686 (tools/build.sh i686). Sets the machine up when needed,
# keeps its own prefix and Xvfb under <build-root>/wine32, runs the smoke driver beside the product
# and prints one line per check and the time it took. Exit 0 when every check passed, otherwise the
# number of failed checks. When the machine cannot be set up it exits 77 (skipped, the code ctest and
# automake read as a skip) with one line saying why; under CI (TORVEL_SMOKE32=1) only a kernel that
# refuses binfmt_misc or packages that an inconsistent mirror withholds are a skip, every other set-up
# failure is a failure (exit 1). What the set-up printed is in <build-root>/smoke32-setup.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(cd "${1:-$root/build}" && pwd)
started=$(date +%s)
setup=0
log=$out/smoke32-setup.log
"$root/tools/smoke32-setup.sh" >"$log" 2>&1 || setup=$?
why=$(tail -1 "$log")
if [ $setup -ne 0 ]; then
  # A kernel without binfmt_misc and a mirror caught mid-sync are beyond anything the product does.
  if [ $setup -eq 3 ] || [ $setup -eq 4 ] || [ "${TORVEL_SMOKE32:-0}" != 1 ]; then
    [ $setup -eq 4 ] && why="the Debian mirror is inconsistent: $why"
    echo "32-bit smoke: skipped, ${why:-this machine cannot run 32-bit programs}"
    exit 77
  fi
  echo "32-bit smoke: FAILED, cannot set up: ${why:-no reason given}"
  exit 1
fi
driver=$out/i686/bin/smoke32.exe
[ -f "$driver" ] || { echo "32-bit smoke: $driver is missing (build i686 first)"; exit 1; }

# A 64-bit prefix, as on most players' Windows: the 32-bit client runs beside 64-bit Wine's services,
# which run natively, so only the client and the driver go through the emulator (a 32-bit-only
# prefix emulates every service too, and making one takes many times longer).
export TORVEL_WINE=$out/wine32 TORVEL_OWN_XVFB=1
unset TORVEL_WINCTL TORVEL_WINE_LOADER
. "$root/tools/wine-env.sh"
trap wine_env_stop EXIT INT TERM
echo "32-bit smoke: preparing its prefix"
wine_env_start
echo "32-bit smoke: prefix ready after $(( $(date +%s) - started )) s"
status=0
# In the background, so a signal reaches the trap at once instead of after the driver.
/usr/lib/wine/wine "$driver" </dev/null &
wait $! || status=$?
elapsed=$(( $(date +%s) - started ))
if [ $status -eq 0 ]; then
  echo "32-bit smoke: passed in $elapsed s"
else
  echo "32-bit smoke: FAILED ($status checks) in $elapsed s"
fi
exit $status
