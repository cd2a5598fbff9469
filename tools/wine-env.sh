# Sourced by test.sh and run.sh: a private Wine prefix, display, locale and fonts under $TORVEL_WINE.
# wine_env_start sets everything up and exports the environment; wine_env_stop ends all it started.
# The prefix is kept between runs (booting a new one takes about 10 s).

# Every prefix is 64-bit; a 32-bit program in it runs through Wine's own 32-bit loader.
WINE_LOADER=/usr/lib/wine/wine64
WINESERVER_BIN=/usr/lib/wine/wineserver64
_wine_pids=()

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    WINEPREFIX=$WINEPREFIX "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "${_wine_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${_wine_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  _wine_pids=()
}

# The dialogs' 9-point Chinese text: WenQuanYi Micro Hei keeps its strokes whole at that size, where
# Zen Hei's outlines break up (fonts-wqy-microhei).
_wine_cjk_font="WenQuanYi Micro Hei"

_wine_reg_file() {  # regedit wants UTF-16LE with a BOM for Chinese names
  local out=$1
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    printf '"Arial"="Liberation Sans"\r\n"arial"="Liberation Sans"\r\n"SimSun"="%s"\r\n' "$_wine_cjk_font"
    printf '"宋体"="%s"\r\n"Microsoft YaHei"="%s"\r\n' "$_wine_cjk_font" "$_wine_cjk_font"
    printf '"微软雅黑"="%s"\r\n"MS Shell Dlg"="%s"\r\n\r\n' "$_wine_cjk_font" "$_wine_cjk_font"
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\r\n"winemenubuilder.exe"=""\r\n\r\n'
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$out"
}

_wine_booting() {  # a boot or update of this prefix is still at work
  local pid
  for pid in $(pgrep -f 'wineboot.exe' || true); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

wine_env_start() {
  local base=${TORVEL_WINE:?}
  mkdir -p "$base"
  base=$(cd "$base" && pwd)
  export HOME=$base/home XDG_CONFIG_HOME=$base/home/.config XDG_DATA_HOME=$base/home/.local/share
  export XDG_CACHE_HOME=$base/home/.cache XDG_RUNTIME_DIR=$base/run
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  export WINEPREFIX=$base/prefix WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d"
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy no_proxy NO_PROXY all_proxy ALL_PROXY

  # Chinese locale, so the ANSI code page is 936 as on a player's machine.
  export LOCPATH=$base/locale
  if [ ! -d "$LOCPATH/zh_CN.UTF-8" ]; then
    mkdir -p "$LOCPATH"
    localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" 2>/dev/null || true
  fi
  { export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8; } 2>/dev/null

  if [ -z "${DISPLAY:-}" ] || [ -n "${TORVEL_OWN_XVFB:-}" ]; then
    local fifo=$base/run/displayfd
    rm -f "$fifo"; mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    _wine_pids+=($!)
    local n; read -r -t 20 n <"$fifo" || { echo "Xvfb did not start" >&2; return 1; }
    rm -f "$fifo"
    export DISPLAY=:$n
    xcompmgr -d "$DISPLAY" >/dev/null 2>&1 &
    _wine_pids+=($!)
    # A window manager, as on a player's desktop: maximised windows cover the work area, activation
    # and keyboard focus follow the usual rules (Debian's default settings).
    openbox --sm-disable >/dev/null 2>&1 &
    _wine_pids+=($!)
    local t
    for t in $(seq 1 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.1
    done
  fi

  # A 32-bit prefix that an older set-up left is made again.
  if [ ! -f "$WINEPREFIX/.torvel-ready" ] || ! grep -qsx '#arch=win64' "$WINEPREFIX/system.reg"; then
    rm -rf "$WINEPREFIX"
    # The 32-bit half of the boot runs under emulation, where the loader stops waiting for the boot
    # after five minutes while the boot goes on: the boot itself is waited for. The server needs the
    # folder.
    mkdir -p "$WINEPREFIX"
    "$WINESERVER_BIN" -p </dev/null >/dev/null 2>&1 || true
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$WINE_LOADER" wineboot -i >/dev/null 2>&1 || true
    while _wine_booting; do sleep 2; done
    if [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
      echo "Wine could not make its prefix in $WINEPREFIX" >&2
      return 1
    fi
    # Keep the prefix's shell folders inside it instead of linking into $HOME.
    local user_dir link
    for user_dir in "$WINEPREFIX"/drive_c/users/*; do
      for link in Desktop Documents Downloads Music Pictures Videos; do
        if [ -L "$user_dir/$link" ]; then rm -f "$user_dir/$link"; mkdir -p "$user_dir/$link"; fi
      done
    done
    touch "$WINEPREFIX/.torvel-ready"
    # A 64-bit prefix that also set up its 32-bit half leaves its first session with a second service
    # manager, and every program that needs RPCSS then waits 20 s for it. A new session starts clean,
    # in seconds.
    "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
    "$WINESERVER_BIN" -w >/dev/null 2>&1 || true
  fi
  "$WINESERVER_BIN" -p </dev/null >/dev/null 2>&1 || true
  # The prefix's settings (crash dialog, fonts, menu builder), again whenever they changed since the
  # prefix last took them: the prefix outlives the scripts that set it up.
  _wine_reg_file "$base/run/setup.reg"
  if ! cmp -s "$base/run/setup.reg" "$WINEPREFIX/.torvel-settings.reg"; then
    "$WINE_LOADER" regedit /S "$(winepath_of "$base/run/setup.reg")" >/dev/null 2>&1 &&
      cp "$base/run/setup.reg" "$WINEPREFIX/.torvel-settings.reg"
  fi
  # The first program after a prefix changed hands finishes updating it; do that here, detached from
  # any pipe a test runner reads.
  "$WINE_LOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
  # Wine's desktop process starts with the first window and inherits that program's standard
  # handles; a test's output pipe held by it keeps the test runner waiting long after the test ended.
  # Start it here, with nothing to hold.
  if [ -n "${TORVEL_WINCTL:-}" ] && [ -f "$TORVEL_WINCTL" ]; then
    "$WINE_LOADER" "$TORVEL_WINCTL" desktop </dev/null >/dev/null 2>&1 || true
  fi
  _wine_wait_whole
}

# The prefix is whole when no boot or update of it is at work and a program started in it runs and
# hands back its own exit code, twice in a row; until then a test program may end with the loader's
# exit code 1 before it ran, which a test runner takes for the program's own answer.
_wine_wait_whole() {
  local t rc good=0
  for t in $(seq 1 60); do
    rc=0
    if ! _wine_booting; then
      "$WINE_LOADER" cmd.exe /c exit 7 </dev/null >/dev/null 2>&1 || rc=$?
      if [ $rc -eq 7 ]; then
        good=$((good + 1))
        [ $good -ge 2 ] && return 0
        continue
      fi
    fi
    good=0
    sleep 1
  done
  echo "Wine does not run programs in $WINEPREFIX (last exit code $rc)" >&2
  return 1
}

# A test that died while it pointed the application-data or pictures folder elsewhere, or set the
# display's scale, left that in the prefix, which every run shares: each run starts with the prefix's
# own folders at 100 %.
wine_env_reset_folders() {
  local folder
  for folder in 'AppData=%USERPROFILE%\AppData\Roaming' 'My Pictures=%USERPROFILE%\Pictures'; do
    "$WINE_LOADER" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
      /v "${folder%%=*}" /t REG_EXPAND_SZ /d "${folder#*=}" /f </dev/null >/dev/null 2>&1 || true
  done
  # The same for the display scale a scaled-display test sets for its own clients: 100 %.
  "$WINE_LOADER" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f \
    </dev/null >/dev/null 2>&1 || true
}

winepath_of() {  # a Unix path as Wine's Z: drive sees it
  printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"
}
