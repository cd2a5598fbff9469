#!/usr/bin/env bash
# Runs the update benchmark under Wine: bench/update/run.sh [build-root]
# A native HTTP server on loopback serves a folder that the benchmark fills with a 20 MB update and
# its manifest; curl (native) fetches the same file for comparison.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build}
command -v curl >/dev/null || "$root/tools/install-deps.sh"
cmake -S "$root" -B "$out/x86_64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64.cmake" \
      -DTORVEL_WERROR=ON >/dev/null
cmake --build "$out/x86_64" --target bench_update -j"$(nproc)" -- --no-print-directory >/dev/null
served=$out/bench-update
rm -rf "$served"
mkdir -p "$served"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$served" >/dev/null 2>&1 &
server=$!
export TORVEL_WINE=$out/wine
. "$root/tools/wine-env.sh"
trap 'kill $server 2>/dev/null; wine_env_stop' EXIT INT TERM
wine_env_start
for i in $(seq 1 50); do (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null && break; sleep 0.1; done
"$WINE_LOADER" "$out/x86_64/bin/bench_update.exe" "$(winepath_of "$served")" "$port" | tee "$served/figures.txt" |
  grep -v '^ours_ms='
ours=$(sed -n 's/^ours_ms=//p' "$served/figures.txt")
times=()
for i in 1 2 3; do
  times+=("$(curl -s -o "$served/curl.out" -w '%{time_total}' "http://127.0.0.1:$port/update.exe")")
done
python3 - "$ours" "${times[@]}" <<'PY'
import sys
ours = float(sys.argv[1]); curl = sorted(float(t) * 1000 for t in sys.argv[2:])[1]
print("  curl, download only (native, median of 3):              %8.1f ms" % curl)
print("  ratio (update check under Wine / curl):                 %8.2f" % (ours / curl))
PY
