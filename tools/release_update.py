#!/usr/bin/env python3
"""The operator's side of the client's updates: signing keys and signed manifests.

  release_update.py keygen <private.pem>
      A new P-256 key pair: <private.pem> (keep it secret) and <private>.pub.pem beside it, the
      public half that a build takes with -DTORVEL_UPDATE_KEY=<public.pem>.
  release_update.py rawkey <public.pem> <out.bin>
      The 64 bytes (X||Y) of a public key, as the build carries them.
  release_update.py sign --key <private.pem> --exe <new build.exe> --url <address of the file>
                         [--version 1.0.0.2] [--expires 2027-01-31T00:00:00Z | --days 30] [--out FILE]
      The signed manifest for a built client, to be served as the answer to the version query of every
      older version. The version is read from the exe's FileVersion (--version must agree with it).

Needs only Python 3 and openssl.
"""
import argparse
import base64
import datetime
import hashlib
import os
import re
import subprocess
import sys

SPKI_P256_PREFIX = bytes.fromhex("3059301306072a8648ce3d020106082a8648ce3d030107034200" "04")


def fail(message):
    sys.exit("release_update: " + message)


def openssl(*args, data=None):
    try:
        return subprocess.run(["openssl", *args], input=data, capture_output=True, check=True).stdout
    except FileNotFoundError:
        fail("openssl is not installed")
    except subprocess.CalledProcessError as e:
        fail("openssl %s failed: %s" % (args[0], e.stderr.decode(errors="replace").strip()))


def keygen(private_path):
    if os.path.exists(private_path):
        fail(private_path + " exists; a key pair is never overwritten")
    key = openssl("ecparam", "-name", "prime256v1", "-genkey", "-noout")
    old = os.umask(0o077)
    try:
        with open(private_path, "wb") as f:
            f.write(key)
    finally:
        os.umask(old)
    public = openssl("ec", "-pubout", data=key)
    with open(os.path.splitext(private_path)[0] + ".pub.pem", "wb") as f:
        f.write(public)


def raw_public_key(public_pem):
    text = open(public_pem, "rb").read().decode("ascii", "replace")
    m = re.search(r"-----BEGIN PUBLIC KEY-----(.*?)-----END PUBLIC KEY-----", text, re.S)
    if not m:
        fail(public_pem + " holds no PEM public key")
    der = base64.b64decode("".join(m.group(1).split()))
    if len(der) != 91 or not der.startswith(SPKI_P256_PREFIX):
        fail(public_pem + " is not an uncompressed P-256 public key")
    return der[-64:]


def file_version(exe):
    """The FileVersion text of a PE file's version resource."""
    data = open(exe, "rb").read()
    start = data.find("VS_VERSION_INFO".encode("utf-16-le") + b"\0\0")
    key = "FileVersion".encode("utf-16-le") + b"\0\0"
    at = data.find(key, start) if start >= 0 else -1
    if at < 0:
        return None
    at += len(key)
    at += (-at) % 4          # the value starts on a 32-bit boundary
    end = at
    while end + 1 < len(data) and data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le", "replace")


def der_signature_to_raw(der):
    """ECDSA-Sig-Value ::= SEQUENCE { r INTEGER, s INTEGER } -> r||s, 32 bytes each."""
    def integer(at):
        if der[at] != 0x02:
            fail("unexpected signature encoding")
        length = der[at + 1]
        value = der[at + 2:at + 2 + length].lstrip(b"\0")
        if len(value) > 32:
            fail("unexpected signature length")
        return value.rjust(32, b"\0"), at + 2 + length
    if der[0] != 0x30:
        fail("unexpected signature encoding")
    r, at = integer(2)
    s, _ = integer(at)
    return r + s


def sign(args):
    exe = open(args.exe, "rb").read()
    version = file_version(args.exe)
    if not version or not re.fullmatch(r"\d+(\.\d+){0,3}", version):
        fail(args.exe + " has no FileVersion")
    if args.version and args.version != version:
        fail("%s is version %s, not %s" % (args.exe, version, args.version))
    if not re.match(r"(?i)https?://[^/\s]", args.url):
        fail("the address must be http:// or https://")
    if args.expires:
        expires = args.expires
    else:
        when = datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(days=args.days)
        expires = when.strftime("%Y-%m-%dT%H:%M:%SZ")
    if not re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", expires):
        fail("expires must look like 2027-01-31T00:00:00Z")
    body = ("version=%s\nurl=%s\nsize=%d\nsha256=%s\nexpires=%s\n"
            % (version, args.url, len(exe), hashlib.sha256(exe).hexdigest(), expires)).encode("utf-8")
    der = openssl("dgst", "-sha256", "-sign", args.key, data=body)
    manifest = body + b"signature=" + base64.b64encode(der_signature_to_raw(der)) + b"\n"
    if args.out:
        with open(args.out, "wb") as f:
            f.write(manifest)
    else:
        sys.stdout.buffer.write(manifest)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="command", required=True)
    k = sub.add_parser("keygen")
    k.add_argument("private")
    r = sub.add_parser("rawkey")
    r.add_argument("public")
    r.add_argument("out")
    s = sub.add_parser("sign")
    s.add_argument("--key", required=True)
    s.add_argument("--exe", required=True)
    s.add_argument("--url", required=True)
    s.add_argument("--version")
    s.add_argument("--expires")
    s.add_argument("--days", type=int, default=30)
    s.add_argument("--out")
    args = ap.parse_args()
    if args.command == "keygen":
        keygen(args.private)
    elif args.command == "rawkey":
        raw = raw_public_key(args.public)
        if not os.path.exists(args.out) or open(args.out, "rb").read() != raw:
            with open(args.out, "wb") as f:
                f.write(raw)
    else:
        sign(args)


if __name__ == "__main__":
    main()
