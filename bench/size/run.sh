#!/usr/bin/env bash
# Size of the product by section (objdump -h): bench/size/run.sh [build-root | exe]. The resources
# are fixed by the images; everything else is code and data, whose goal is 400 KiB at most. Prints
# figures; never passes or fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arg=${1:-$root/build}
exe=$arg
[ -d "$arg" ] && exe=$arg/i686/bin/Torvel_Qerm.exe
[ -f "$exe" ] || { echo "no $exe: build the i686 product first (tools/build.sh i686)" >&2; exit 1; }
i686-w64-mingw32-objdump -h "$exe" | python3 -c '
import os, sys
exe = sys.argv[1]
rows = []
for line in sys.stdin:
    p = line.split()
    if len(p) >= 7 and p[0].isdigit():
        rows.append((p[1], int(p[2], 16)))
code = sum(size for name, size in rows if name != ".rsrc")
print("%s: %d bytes on disk" % (exe, os.path.getsize(exe)))
for name, size in rows:
    print("  %-10s %9d  %7.1f KiB" % (name, size, size / 1024))
print("  code and data (all but .rsrc): %d bytes = %.1f KiB (goal 400 KiB)" % (code, code / 1024))
' "$exe"
