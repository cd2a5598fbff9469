#!/usr/bin/env bash
# Builds the client and starts it under Wine: ./run.sh
# With a desktop (DISPLAY set) it runs until you close it. Without one it runs in its own Xvfb, saves
# a screenshot of each window it reaches under build/screenshots/ and closes it.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
out=${TORVEL_BUILD:-$root/build}
"$root/tools/install-deps.sh"
"$root/tools/build.sh" i686 "$out"
"$root/tools/build.sh" x86_64 "$out"
echo "product (32-bit Windows): $out/i686/bin/Torvel_Qerm.exe"

export TORVEL_WINE=$out/wine TORVEL_WINCTL=$out/x86_64/bin/winctl.exe
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
. "$root/tools/wine-env.sh"
trap wine_env_stop EXIT INT TERM
wine_env_start

# The demo login site the default build points at.
python3 "$root/tools/demo_site.py" --port 18680 >/dev/null 2>&1 &
_wine_pids+=($!)

exe=$out/x86_64/bin/Torvel_Qerm.exe
if [ $headless -eq 0 ]; then
  "$WINE_LOADER" "$exe"
  exit 0
fi

shots=$out/screenshots
mkdir -p "$shots"
rm -f "$shots"/*.png
title='《Vantor》微端'
winctl=$out/x86_64/bin/winctl.exe
"$WINE_LOADER" "$exe" &
client=$!
# One screenshot per window the client reaches: the start window (with its login popup) first, the
# main window once a player has signed in. Each is asked to close; what is still running after a few
# seconds (a close prompt waiting for its answer) is ended with the prefix.
n=0
seen=""
for i in $(seq 1 20); do
  kill -0 "$client" 2>/dev/null || break
  for wid in $(xdotool search --onlyvisible --name "$title" 2>/dev/null || true); do
    case " $seen " in *" $wid "*) continue;; esac
    seen="$seen $wid"
    sleep 2
    n=$((n + 1))
    import -display "$DISPLAY" -window root "$shots/$n.png"
  done
  sleep 1
done
"$WINE_LOADER" "$winctl" close "$title" >/dev/null 2>&1 || true
for i in $(seq 1 10); do kill -0 "$client" 2>/dev/null || break; sleep 1; done
kill "$client" 2>/dev/null || true
wait "$client" 2>/dev/null || true
echo "screenshots in $shots:"
ls -1 "$shots"
