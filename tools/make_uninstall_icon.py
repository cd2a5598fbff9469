#!/usr/bin/env python3
"""Draws res/uninstall.ico, the icon of the uninstall shortcut: one 16 x 16 image with 32-bit colour
(a red disc with a white cross), 1,150 bytes. Deterministic: tools/make_uninstall_icon.py [out]"""
import os
import struct
import sys

SIZE = 16
SAMPLES = 4


def coverage(inside):
    """Fraction of the pixel's sub-samples for which inside(x, y) holds, per pixel."""
    grid = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = x + (sx + 0.5) / SAMPLES
                    py = y + (sy + 0.5) / SAMPLES
                    hits += inside(px, py)
            row.append(hits / (SAMPLES * SAMPLES))
        grid.append(row)
    return grid


def disc(px, py):
    return (px - 8) ** 2 + (py - 8) ** 2 <= 7.2 ** 2


def cross(px, py):
    u, v = px - 8, py - 8
    arm = 1.1
    return max(abs(u), abs(v)) <= 4.2 and (abs(u - v) <= arm * 1.414 or abs(u + v) <= arm * 1.414)


def build():
    outer = coverage(disc)
    mark = coverage(cross)
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        bits = 0
        for x in range(SIZE):
            a = outer[y][x]
            m = mark[y][x]
            # Red disc shading slightly darker towards the bottom, white cross on top.
            red = (0xD8 - y * 3, 0x2A, 0x24)
            r = round(red[0] * (1 - m) + 255 * m)
            g = round(red[1] * (1 - m) + 255 * m)
            b = round(red[2] * (1 - m) + 255 * m)
            alpha = round(255 * a)
            pixels += bytes((b, g, r, alpha))
            if alpha == 0:
                bits |= 0x8000 >> x
        mask += struct.pack(">H", bits) + b"\0\0"  # rows padded to 32 bits
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    data = icondir + entry + image
    assert len(data) == 1150, len(data)
    return data


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "res",
                                                              "uninstall.ico")
    with open(out, "wb") as f:
        f.write(build())


if __name__ == "__main__":
    main()
