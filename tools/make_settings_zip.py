#!/usr/bin/env python3
"""Builds the default settings archive (resource "ZIP" 269) from its sources:
tools/make_settings_zip.py <out.zip> <file>...
Every file becomes one deflated entry under its own base name, in the order given. The timestamp,
the compression level and every header field are fixed, so two builds give the same bytes."""
import os
import struct
import sys
import zlib

# 2026-01-10 12:00:00, as a DOS date and time.
DOS_TIME = (12 << 11) | (0 << 5) | 0
DOS_DATE = ((2026 - 1980) << 9) | (1 << 5) | 10
VERSION = 20               # 2.0, made on host 0 (FAT): attributes are Windows attribute bits
ATTR_ARCHIVE = 0x20


def deflate(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9, zlib.Z_DEFAULT_STRATEGY)
    return packer.compress(data) + packer.flush()


def build(paths):
    local = bytearray()
    central = bytearray()
    for path in paths:
        name = os.path.basename(path).encode("utf-8")
        with open(path, "rb") as f:
            data = f.read()
        packed = deflate(data)
        crc = zlib.crc32(data) & 0xFFFFFFFF
        offset = len(local)
        local += struct.pack("<IHHHHHIIIHH", 0x04034B50, VERSION, 0, 8, DOS_TIME, DOS_DATE, crc,
                             len(packed), len(data), len(name), 0)
        local += name + packed
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, VERSION, VERSION, 0, 8, DOS_TIME,
                               DOS_DATE, crc, len(packed), len(data), len(name), 0, 0, 0, 0,
                               ATTR_ARCHIVE, offset)
        central += name
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(paths), len(paths), len(central), len(local), 0)
    return bytes(local + central + end)


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: make_settings_zip.py <out.zip> <file>...")
    out = sys.argv[1]
    data = build(sys.argv[2:])
    # Write through a temporary name so that an interrupted build never leaves half an archive.
    with open(out + ".tmp", "wb") as f:
        f.write(data)
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
