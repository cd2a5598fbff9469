#!/usr/bin/env bash
# Builds the client and starts it under Wine: ./run.sh [--signed-in]
# With a desktop (DISPLAY set) it runs until you close it. Wine shows no web pages, so its login site
# cannot be used there: --signed-in starts a copy whose login address is the game's start address,
# which goes straight to the main window as after a login.
# Without a desktop it runs in its own Xvfb, walks the client's whole journey and saves one picture
# per step in build/screenshots/ (start window, main window after a login, cache cleaning, close
# prompt); it exits 0 only when all four were taken.
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
"$root/tools/build.sh" i686 "$out"
"$root/tools/build.sh" x86_64 "$out"
echo "product (32-bit Windows): $out/i686/bin/Torvel_Qerm.exe"

export TORVEL_WINE=$out/wine TORVEL_WINCTL=$out/x86_64/bin/winctl.exe
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
. "$root/tools/wine-env.sh"
trap wine_env_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
wine_env_start

# The demo login site the default build points at; the client asks it for the version at once.
port=18680
python3 "$root/tools/demo_site.py" --port $port >/dev/null 2>&1 &
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
  for i in $(seq 1 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "the client did not end"
  wait "$1" || fail "the client ended with exit code $?"
}

# A normal start: the start window with the login site in its popup (empty here: no HTML engine).
"$WINE_LOADER" "$exe" >/dev/null 2>&1 &
client=$!
# The window manager maps the start window over its popup, which winctl puts back on top.
winctl wait-start 60 || fail "the start window did not come"
sleep 1  # the popup's first paint
shot 1-start-window.png "the start window with the login popup"
winctl close-prompt 15 || fail "the start window asked nothing on close"
close_through_prompt $client

# After a login: the copy that goes straight to the main window.
copy=$(signed_in_copy) || fail "could not make the signed-in copy"
"$WINE_LOADER" "$copy" >/dev/null 2>&1 &
client=$!
winctl wait-main 60 || fail "the main window did not come"
sleep 2  # the window manager's last move and the strip's paint
shot 2-main-window.png "the main window after a login, maximised, with its title-strip buttons"
winctl clean-shot "$(winepath_of "$shots/3-cache-cleaning.png")" 60 || fail "no picture of the cache cleaning"
echo "3-cache-cleaning.png: the cache-cleaning overlay over the main window (its clear-cache button)"
winctl close-prompt 15 || fail "the main window asked nothing on close"
sleep 1  # the prompt's first paint
shot 4-close-prompt.png "the close prompt the main window's close button raises"
close_through_prompt $client
echo "pictures in $shots"
