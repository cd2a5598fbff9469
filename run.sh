#!/usr/bin/env bash
# Builds the client and starts it under Wine: ./run.sh [--signed-in]
# With a desktop (DISPLAY set) it runs until you close it. Wine shows no web pages, so its login site
# cannot be used there: --signed-in starts a copy whose login address is the game's start address,
# which goes straight to the main window as after a login.
# Without a desktop it runs in its own Xvfb, walks the client's whole journey and saves one picture
# per step in build/screenshots/ (start window, main window after a login, cache cleaning, close
# prompt), then ships an update: version 1.0.0.2 built with one option and signed, which the client
# downloads at one start and runs at the next (a fifth picture); the start and main windows at 150 %
# are the sixth and seventh. It exits 0 only when all seven were taken.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
signed_in=0
case "${1:-}" in
  "") ;;
  --signed-in) signed_in=1 ;;
  *) echo "usage: ./run.sh [--signed-in]" >&2; exit 2 ;;
esac
out=${TORVEL_BUILD:-$root/build}
"$root/tools/install-deps.sh"
# Only what runs here: the client and its window driver (the tests are built by test.sh). Without a
# desktop the 32-bit product is built after the first pictures.
build_product() {
  TORVEL_TARGETS=Torvel_Qerm "$root/tools/build.sh" i686 "$out"
  echo "product (32-bit Windows): $out/i686/bin/Torvel_Qerm.exe"
}
[ -n "${DISPLAY:-}" ] && build_product
TORVEL_TARGETS="Torvel_Qerm winctl" "$root/tools/build.sh" x86_64 "$out"

export TORVEL_WINE=$out/wine TORVEL_WINCTL=$out/x86_64/bin/winctl.exe
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
. "$root/tools/wine-env.sh"
trap wine_env_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
wine_env_start

# The demo login site the default build points at; the client asks it for the version at once. It
# offers what the updates folder holds, which stays empty until the update is shipped below.
port=18680
updates=$out/demo-updates
rm -rf "$updates"
mkdir -p "$updates"
python3 "$root/tools/demo_site.py" --port $port --updates "$updates" >/dev/null 2>&1 &
_wine_pids+=($!)
for i in $(seq 1 50); do
  (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null && break
  sleep 0.1
done

exe=$out/x86_64/bin/Torvel_Qerm.exe
winctl() { "$WINE_LOADER" "$TORVEL_WINCTL" "$@"; }

# A copy in a scratch folder whose login address is the demo site's game start address: the start
# window hands it to the main window at once, as the login page does after signing in.
signed_in_copy() {
  local dir=$out/signed-in
  rm -rf "$dir"
  winctl login-url "$(winepath_of "$exe")" "$(winepath_of "$dir")" \
    "http://127.0.0.1:$port/vorq/play_gamecode?account=demo" >&2 || return 1
  echo "$dir/$(basename "$exe")"
}

if [ $headless -eq 0 ]; then
  start=$exe
  [ $signed_in -eq 1 ] && start=$(signed_in_copy)
  # In the background, so that a signal to this script ends the client at once through the trap.
  "$WINE_LOADER" "$start" &
  wait $! || true
  exit 0
fi

shots=$out/screenshots
rm -rf "$shots"
mkdir -p "$shots"
fail() { echo "run.sh: $*" >&2; exit 1; }
shot() {  # name, what it shows: the screen as it is now
  winctl shot "$(winepath_of "$shots/$1")" || fail "could not save $1"
  echo "$1: $2"
}
# OK in the client's close prompt ends it with exit code 0.
close_through_prompt() {  # pid
  winctl answer ok || fail "no close prompt to answer"
  for i in $(seq 1 600); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "the client did not end"
  wait "$1" || fail "the client ended with exit code $?"
}

# The journey starts from no installation: an earlier run may have left a newer installed copy.
users=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
appdata=$users/AppData/Roaming
installed=$appdata/qzrv/pelq/Torvel_Qerm.exe
rm -rf "$installed" "$appdata/cache/qzrvpelqupdate" "$appdata/qzrv/pelq/res/update.log"
update_log() { iconv -f UTF-16LE -t UTF-8 "$appdata/qzrv/pelq/res/update.log" 2>/dev/null | tr -d '\r'; }
wait_log() {  # text, seconds
  for i in $(seq 1 $(( $2 * 10 ))); do update_log | grep -qF "$1" && return 0; sleep 0.1; done
  return 1
}

# A normal start: the start window with the login site in its popup (empty here: no HTML engine).
"$WINE_LOADER" "$exe" >/dev/null 2>&1 &
client=$!
# The window manager maps the start window over its popup, which winctl puts back on top.
winctl wait-start 60 || fail "the start window did not come"
shot 1-start-window.png "the start window with the login popup"
winctl close-prompt 60 || fail "the start window asked nothing on close"
close_through_prompt $client

# After a login: the copy that goes straight to the main window.
copy=$(signed_in_copy) || fail "could not make the signed-in copy"
"$WINE_LOADER" "$copy" >/dev/null 2>&1 &
client=$!
winctl wait-main 60 || fail "the main window did not come"
shot 2-main-window.png "the main window after a login, maximised, with its title-strip buttons"
winctl clean-shot "$(winepath_of "$shots/3-cache-cleaning.png")" 60 || fail "no picture of the cache cleaning"
echo "3-cache-cleaning.png: the cache-cleaning overlay over the main window (its clear-cache button)"
winctl close-prompt 60 || fail "the main window asked nothing on close"
shot 4-close-prompt.png "the close prompt the main window's close button raises"
close_through_prompt $client

# Both windows again on a display at 150 % (LogPixels 144, which a process reads as it starts); the
# display is at 100 % again afterwards, whatever happened.
log_pixels() {
  "$WINE_LOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
}
log_pixels 144
(
  "$WINE_LOADER" "$exe" >/dev/null 2>&1 &
  client=$!
  winctl wait-start 60 || fail "the start window did not come at 150 %"
  shot 6-start-window-150.png "the start window at 150 %, reduced to fit the screen, with its popup"
  winctl close-prompt 60 || fail "the start window asked nothing on close at 150 %"
  close_through_prompt $client
  "$WINE_LOADER" "$copy" >/dev/null 2>&1 &
  client=$!
  winctl wait-main 60 || fail "the main window did not come at 150 %"
  shot 7-main-window-150.png "the main window at 150 %: the strip and its buttons half as large again"
  winctl close-prompt 60 || fail "the main window asked nothing on close at 150 %"
  close_through_prompt $client
) || { log_pixels 96; exit 1; }
log_pixels 96

build_product

# Shipping an update as an operator does: the next version, the same program with the version
# resource of 1.0.0.2 and the public half of this build's signing key, and its manifest signed with
# the private half.
echo "building version 1.0.0.2 for the update (in $out/x86_64/bin/next)"
key=$out/x86_64/update-key
TORVEL_TARGETS=Torvel_Qerm_next "$root/tools/build.sh" x86_64 "$out" >/dev/null ||
  fail "could not build version 1.0.0.2"
cp "$out/x86_64/bin/next/Torvel_Qerm.exe" "$updates/Torvel_Qerm-1.0.0.2.exe"
python3 "$root/tools/release_update.py" sign --key "$key/signing.pem" --exe "$updates/Torvel_Qerm-1.0.0.2.exe" \
  --url "http://127.0.0.1:$port/updates/Torvel_Qerm-1.0.0.2.exe" --out "$updates/manifest.txt" ||
  fail "could not sign the manifest"
# The installed client finds it at this start and downloads it behind the start window...
[ -f "$installed" ] || fail "the client did not install itself"
"$WINE_LOADER" "$installed" >/dev/null 2>&1 &
client=$!
winctl wait-start 60 || fail "the start window did not come"
wait_log "Update ready: 1.0.0.2" 60 || fail "the update was not downloaded: $(update_log | tail -n 3)"
winctl close-prompt 60 || fail "the start window asked nothing on close"
close_through_prompt $client
# ...and the next start hands over to it: the new version's start window follows.
"$WINE_LOADER" "$installed" >/dev/null 2>&1 &
wait $! || fail "the start that hands the update over ended with $?"
wait_log "Update success.Current Version:1.0.0.2" 60 || fail "the update was not applied: $(update_log | tail -n 3)"
winctl wait-start 60 || fail "the updated client's start window did not come"
shot 5-updated-start-window.png "the start window of version 1.0.0.2, which the update put in place"
echo "update applied: 1.0.0.1 -> 1.0.0.2 ($(update_log | grep -F 'Update success' | tail -n 1 | cut -f3))"
winctl close-prompt 60 && winctl answer ok
echo "pictures in $shots"
