#!/usr/bin/env bash
# Makes this machine able to run 32-bit Windows programs under Wine when its kernel cannot run 32-bit
# Linux programs by itself: Debian's i386 Wine, started through qemu's user-mode emulator registered
# as the kernel's handler for i386 programs. Idempotent; changes only what is missing.
# Exit 0 when 32-bit Wine can run; otherwise one line on stderr saying why (the last line of what it
# prints), and exit 3 when the kernel refuses binfmt_misc (nothing on this machine can change that), 4
# when a package could not be installed because the Debian mirror is inconsistent (mid-sync: the line
# is apt's own), 1 for any other reason.
set -uo pipefail
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
. "$(dirname "$0")/apt.sh"
refuse() { echo "$1" >&2; exit 1; }
kernel_refuses() { echo "$1" >&2; exit 3; }
install_or_refuse() {  # what it is for the message, then the packages
  local what=$1 line; shift
  apt_install "$@" >/dev/null 2>&1 && return 0
  if line=$(apt_mirror_fault); then echo "$line" >&2; exit 4; fi
  printf '%s\n' "$apt_messages" | grep '^E:' | tail -3 >&2
  refuse "cannot install $what"
}
emulator=/usr/bin/qemu-i386

# The emulator comes from bookworm-backports: Debian 12's own (7.2) needs about a minute for every
# Wine process and now and then kills one whose threads end together; 10.0 starts them in seconds.
emulator_major() { "$emulator" --version 2>/dev/null | sed -n '1s/^qemu-i386 version \([0-9]*\).*/\1/p'; }
apt_updated=0
if [ "$(emulator_major)" = "" ] || [ "$(emulator_major)" -lt 10 ]; then
  if ! grep -rqs '^[^#]*bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo 'deb http://deb.debian.org/debian bookworm-backports main' |
      $sudo tee /etc/apt/sources.list.d/bookworm-backports.list >/dev/null || refuse "cannot add bookworm-backports"
  fi
  apt_update || echo "apt-get update failed; installing from the package lists apt has" >&2
  apt_updated=1
  echo "installing: qemu-user from bookworm-backports"
  install_or_refuse "qemu-user from bookworm-backports" qemu-user/bookworm-backports
  [ "$(emulator_major)" -ge 10 ] 2>/dev/null || refuse "qemu-user 10 or later is not in bookworm-backports"
fi

# The i386 architecture and 32-bit Wine.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386 || refuse "cannot add the i386 architecture"
  apt_updated=0
fi
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  if [ $apt_updated -eq 0 ]; then
    apt_update || echo "apt-get update failed; installing from the package lists apt has" >&2
  fi
  echo "installing: wine32:i386"
  # The i386 libraries must match the amd64 ones exactly, which often come from the security
  # archive: without its i386 index (a mirror caught mid-sync) no set matches, and installing from
  # the release's indexes alone would remove 64-bit Wine instead. That is a skip (exit 4).
  install_or_refuse wine32:i386 wine32:i386
fi

# The kernel's handler for i386 programs. "F" opens the emulator now, so it also serves programs in
# other mount namespaces; a handler registered earlier (another emulator, or an older one that "F"
# still holds open) is replaced by one for this emulator.
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
  $sudo mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || kernel_refuses "this machine refuses the binfmt_misc file system"
fi
stamp=/run/torvel-qemu-i386.registered
current=$(stat -c '%i %Y' "$emulator")
if [ -e "$binfmt/qemu-i386" ] && { ! grep -qx "interpreter $emulator" "$binfmt/qemu-i386" ||
                                   [ "$(cat "$stamp" 2>/dev/null)" != "$current" ]; }; then
  echo -1 | $sudo tee "$binfmt/qemu-i386" >/dev/null 2>&1 || refuse "cannot replace the handler for i386 programs"
fi
if [ ! -e "$binfmt/qemu-i386" ]; then
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':qemu-i386:M::%s:%s:%s:F' "$magic" "$mask" "$emulator" | $sudo tee "$binfmt/register" >/dev/null 2>&1 ||
    kernel_refuses "this machine refuses a handler for i386 programs"
  echo "$current" | $sudo tee "$stamp" >/dev/null 2>&1 || true
fi
/usr/lib/wine/wine --version >/dev/null 2>&1 || refuse "32-bit Wine does not start on this machine"
exit 0
