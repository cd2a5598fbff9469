#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail
pkgs=(cmake make python3 python3-pil googletest libz-mingw-w64-dev g++-mingw-w64-x86-64-posix
      g++-mingw-w64-i686-posix wine wine64 xvfb openbox x11-utils xdotool imagemagick xcompmgr locales fonts-wqy-zenhei
      fonts-wqy-microhei fonts-liberation fonts-wine libxrender1 libxi6 libxrandr2 libxcursor1 libxcomposite1
      libxfixes3 libxinerama1 libgnutls30 clang libclang-rt-14-dev openssl curl)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
. "$(dirname "$0")/apt.sh"
apt_update || echo "apt-get update failed; installing from the package lists apt has" >&2
apt_install "${missing[@]}"
