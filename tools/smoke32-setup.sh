#!/usr/bin/env bash
# Makes this machine able to run 32-bit Windows programs under 32-bit Wine when its kernel cannot
# run 32-bit Linux programs by itself: Debian's i386 Wine, started through qemu's user-mode emulator
# registered as the kernel's handler for i386 programs. Idempotent; changes only what is missing.
# Exit 0 when 32-bit Wine can run; otherwise one line on stderr saying why, and exit 3 when the
# kernel refuses binfmt_misc (nothing on this machine can change that), 1 for any other reason.
set -uo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
refuse() { echo "$1" >&2; exit 1; }
kernel_refuses() { echo "$1" >&2; exit 3; }

# Packages: the i386 architecture, 32-bit Wine and the emulator.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386 || refuse "cannot add the i386 architecture"
  $sudo apt-get update -qq || refuse "apt-get update failed"
fi
missing=()
for p in qemu-user-static wine32:i386; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    refuse "cannot install ${missing[*]}"
fi

# The kernel's handler for i386 programs. "F" opens the emulator now, so it also serves programs
# in other mount namespaces.
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
  $sudo mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || kernel_refuses "this machine refuses the binfmt_misc file system"
fi
if [ ! -e "$binfmt/qemu-i386" ]; then
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':qemu-i386:M::%s:%s:/usr/bin/qemu-i386-static:F' "$magic" "$mask" | $sudo tee "$binfmt/register" >/dev/null 2>&1 ||
    kernel_refuses "this machine refuses a handler for i386 programs"
fi
/usr/lib/wine/wine --version >/dev/null 2>&1 || refuse "32-bit Wine does not start on this machine"
exit 0
