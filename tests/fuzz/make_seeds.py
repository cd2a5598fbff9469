#!/usr/bin/env python3
"""Writes the seed corpus of the archive fuzzer: small archives of the shapes the reader meets.
Run from anywhere: tests/fuzz/make_seeds.py. The output is deterministic."""
import io
import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")
STAMP = (2026, 1, 10, 13, 26, 52)


def archive(entries, comment=b"", prefix=b""):
    buf = io.BytesIO()
    buf.write(prefix)
    with zipfile.ZipFile(buf, "a" if prefix else "w") as zf:
        for name, data, method, extra in entries:
            info = zipfile.ZipInfo(name, STAMP)
            info.compress_type = method
            info.create_system = 0
            info.external_attr = 0x10 if name.endswith("/") else 0x20
            info.extra = extra
            zf.writestr(info, data)
        zf.comment = comment
    return buf.getvalue()


def ut(mtime):
    return struct.pack("<HHBi", 0x5455, 5, 1, mtime)


DEFL = zipfile.ZIP_DEFLATED
STORED = zipfile.ZIP_STORED
text = b"[Info]\r\ncode=\r\npwd=\r\nrem=1\r\n" * 3
seeds = {
    "stored.zip": archive([("a.txt", b"hello", STORED, b"")]),
    "deflated.zip": archive([("a.txt", text, DEFL, b"")]),
    "folders.zip": archive([("d1/", b"", STORED, b""), ("d1/d2/f.txt", text, DEFL, b""),
                            ("\u8bbe\u7f6e.ini", b"x=1\r\n", DEFL, b"")]),
    "timestamp.zip": archive([("t.txt", b"time", DEFL, ut(1600000000))]),
    "comment.zip": archive([("c.txt", b"comment", STORED, b"")], comment=b"c" * 300),
    "prefix.zip": archive([("p.txt", text, DEFL, b"")], prefix=b"MZ" + b"\0" * 62),
    "escape.zip": archive([("C:\\dir\\..\\x.txt", b"x", STORED, b""), ("../up.txt", b"u", STORED, b""),
                           ("/abs.txt", b"a", STORED, b""), ("con.txt", b"c", STORED, b"")]),
    "empty.zip": archive([]),
}
os.makedirs(OUT, exist_ok=True)
for name, data in sorted(seeds.items()):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
