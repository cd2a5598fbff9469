#!/bin/sh
# Runs a Windows i686 program under 32-bit Wine (through the emulator that tools/smoke32-setup.sh
# registers for i386 programs) in the 64-bit prefix that test.sh prepares for the 32-bit suite.
exec /usr/lib/wine/wine "$@"
