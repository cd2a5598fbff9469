#!/bin/sh
# Runs a Windows x86_64 program under 64-bit Wine; the environment (prefix, display, locale) comes
# from test.sh.
exec /usr/lib/wine/wine64 "$@"
