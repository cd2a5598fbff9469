#!/usr/bin/env python3
"""Writes the seed corpora of the fuzzers: small archives of the shapes the archive reader meets
(corpus/), and settings texts, stored account values, version texts and command lines for the
text fuzzers (corpus-<name>/). Run from anywhere: tests/fuzz/make_seeds.py. The output is
deterministic."""
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


# The text fuzzers read one byte as one character (0xFF and two bytes make any other character).
def u16(text):
    out = b""
    for ch in text:
        out += bytes([ord(ch)]) if ord(ch) < 0xFF else b"\xff" + struct.pack("<H", ord(ch))
    return out


text_seeds = {
    "keynames": {
        "ctrl-shift-a": b"Ctrl+Shift+A", "f10": b"F10", "f11": b"F11", "ctrl-plus": b"Ctrl++",
        "alt-num-plus": b"Alt+Num+", "num-plus": b"Num+", "plus": b"+", "lower": b"ctrl+a",
        "blank": b" A", "trailing": b"Alt+", "unknown": b"Foo+Shift+F5", "page": b"Shift+PageDown",
        "chinese": u16("Ctrl+\u952e"), "backslash": b"Alt+\\",
    },
    # First byte: the buffer (0xFF is the product's 1,024 bytes); then the stored text.
    "base64": {
        "account": b"\xff" + b"dGVzdGVy", "padded": b"\xff" + b"YWJjZA==", "password": b"\xff" + b"cGFzcyB3b3Jk",
        "small-buffer": b"\x05" + b"QUJDREVGR0hJ", "skipped": b"\xff" + b"Y W\r\nJ j", "zero": b"\xff" + b"AAAA",
        "lone": b"\x10" + b"QUJDR", "chinese": b"\xff" + b"1eLK1A==",
    },
    # Up to three texts separated by zero bytes.
    "version": {
        "same": b"1.0.0.1\x001.0.0.1\x001.0.0.2", "newer": b"1.0.1.0\x001.0.0.10\x002",
        "none": b"None VerSion Supprot\x00\x001.2", "huge": b"99999999999.1\x004294967295\x001..2",
        "trailing": b"1.2.0.0\x001.2\x001.2.", "letters": b"v1.2\x001.2b3\x00.1",
    },
    # Whole lines; the built-line check reads 4 handle bytes and a style byte first.
    "cmdline": {
        "update": b"-d C:\\Games\\Torvel_Qerm.exe", "prompt": b"\"C:\\x\\Torvel_Qerm.exe\" -u",
        "uninstall": b"-u C:\\x\\Torvel_Qerm.exe", "normal": b"", "short": b"-",
        "game": b"\x34\x12\x00\x00\x00-frameWnd=4660 -gameurl=http://127.0.0.1/play_gamecode?a=1 b",
        "negative": b"\xfe\xff\xff\xff\x01\x00x\x00http://g/",
        "bad-handle": b"-frameWnd=4294967296 -gameurl=http://x/", "no-space": b"-frameWnd=12-gameurl=u",
    },
    # The stored page zoom, "Setting"/"zoom".
    "pagezoom": {
        "step": b"125", "smallest": b"50", "largest": b"300", "blanks": b" \t175 ", "between": b"130",
        "zeros": b"000150", "sign": b"+110", "percent": b"125%", "empty": b"", "word": b"big",
        "long": b"99999999999999999999",
    },
}
for fuzzer, files in sorted(text_seeds.items()):
    folder = os.path.join(HERE, "corpus-" + fuzzer)
    os.makedirs(folder, exist_ok=True)
    for name, data in sorted(files.items()):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
