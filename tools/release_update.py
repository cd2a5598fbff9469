#!/usr/bin/env python3
"""The operator's side of the client's updates: signing keys and signed manifests.

  release_update.py keygen <private.pem>
      A new P-256 key pair: <private.pem> (keep it secret) and <private>.pub.pem beside it, the
      public half that a build takes with -DTORVEL_UPDATE_KEY=<public.pem>.
  release_update.py rawkey <public.pem> <out.bin>
      The 64 bytes (X||Y) of a public key, as the build carries them.
  release_update.py keyid <public.pem>
      The key's fingerprint as each "Update check" line of a client's update log names it: the first 8
      hex digits of the SHA-256 of the key's DER form.
  release_update.py sign --key <private.pem> --exe <new build.exe> --url <address of the file>
                         [--version 1.0.0.2] [--expires 2027-01-31T00:00:00Z | --days 30]
                         [--rollout N] [--out FILE]
      The signed manifest for a built client, to be served as the answer to the version query of every
      older version. The version is read from the exe's FileVersion (--version must agree with it), the
      product (partner/game) from its own version query (string 192). A manifest is good for at most 90
      days: clients refuse one that expires later. --rollout N offers it to N percent of the
      installations (0 to 100; without it, to all).
  release_update.py verify --manifest <manifest> --exe <the build it offers> --key <public.pem>
      Checks a manifest against the exe it offers before it is published: the signature, the product,
      the version, size and SHA-256, the expiry and the rollout. Exits 0 and prints a summary when all
      hold; otherwise names the first that does not.

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
VERSION_QUERY_ID = 192          # the client's version query: getClientVersion.php?p=<partner>&g=<game>&v=
MAX_DAYS = 90                   # clients refuse a manifest that expires later than this
RT_STRING = 6


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


def pe_string(exe, string_id):
    """A string-table entry of a PE file, read from its resource section."""
    import struct
    data = open(exe, "rb").read()
    try:
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            return None
        sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
        resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        table = optional + optional_size

        def offset_of(rva):
            for i in range(sections):
                size, address, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
                if address <= rva < address + max(size, raw_size):
                    return raw + rva - address
            raise ValueError("address outside every section")

        root = offset_of(resource_rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", data, root + directory + 12)
            for i in range(named + numbered):
                yield struct.unpack_from("<II", data, root + directory + 16 + 8 * i)

        def sub(directory, wanted):
            for name, target in entries(directory):
                if name == wanted and target & 0x80000000:
                    return target & 0x7FFFFFFF
            return None

        types = sub(0, RT_STRING)
        block = sub(types, string_id // 16 + 1) if types is not None else None
        if block is None:
            return None
        # Every language holds the same texts in this client; the first one is read.
        _, leaf = next(entries(block))
        data_rva, data_size = struct.unpack_from("<II", data, root + leaf)
        at, end = offset_of(data_rva), offset_of(data_rva) + data_size
        for index in range(16):
            length = struct.unpack_from("<H", data, at)[0]
            text = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            if index == string_id % 16:
                return text
            at += 2 + 2 * length
            if at > end:
                return None
    except (struct.error, ValueError, StopIteration, UnicodeDecodeError):
        return None
    return None


def product_of(exe):
    """partner/game of the exe's own version query (string 192), as its manifests must name it."""
    query = pe_string(exe, VERSION_QUERY_ID)
    if not query or "?" not in query:
        fail(exe + " has no version query (string %d)" % VERSION_QUERY_ID)
    params = dict(p.split("=", 1) for p in query.split("?", 1)[1].split("&") if "=" in p)
    partner, game = params.get("p", ""), params.get("g", "")
    code = re.compile(r"[A-Za-z0-9_.-]{1,64}")
    if not code.fullmatch(partner) or not code.fullmatch(game):
        fail("%s's version query %r names no partner and game" % (exe, query))
    return partner + "/" + game


def key_id(raw_key):
    return hashlib.sha256(SPKI_P256_PREFIX + raw_key).hexdigest()[:8]


def version_is_buildable(version):
    return re.fullmatch(r"\d+(\.\d+){0,3}", version) is not None and \
        all(int(part) <= 65535 for part in version.split(".")) and any(int(part) for part in version.split("."))


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
    if not version or not version_is_buildable(version):
        fail(args.exe + " has no FileVersion a client can take (one to four parts of 0 to 65535)")
    if args.version and args.version != version:
        fail("%s is version %s, not %s" % (args.exe, version, args.version))
    if not re.match(r"(?i)https?://[^/\s]", args.url):
        fail("the address must be http:// or https://")
    now = datetime.datetime.now(datetime.timezone.utc)
    if args.expires:
        expires = args.expires
    else:
        if not 1 <= args.days <= MAX_DAYS:
            fail("--days must be from 1 to %d: clients refuse a manifest good for longer" % MAX_DAYS)
        expires = (now + datetime.timedelta(days=args.days)).strftime("%Y-%m-%dT%H:%M:%SZ")
    when = parse_expiry(expires)
    if when is None:
        fail("expires must look like 2027-01-31T00:00:00Z")
    if when > now + datetime.timedelta(days=MAX_DAYS):
        fail("expires is more than %d days ahead: clients would refuse the manifest" % MAX_DAYS)
    if args.rollout is not None and not 0 <= args.rollout <= 100:
        fail("--rollout must be from 0 to 100")
    lines = ["version=" + version, "product=" + product_of(args.exe), "url=" + args.url, "size=%d" % len(exe),
             "sha256=" + hashlib.sha256(exe).hexdigest(), "expires=" + expires]
    if args.rollout is not None:
        lines.append("rollout=%d" % args.rollout)
    body = ("\n".join(lines) + "\n").encode("utf-8")
    der = openssl("dgst", "-sha256", "-sign", args.key, data=body)
    manifest = body + b"signature=" + base64.b64encode(der_signature_to_raw(der)) + b"\n"
    if args.out:
        with open(args.out, "wb") as f:
            f.write(manifest)
    else:
        sys.stdout.buffer.write(manifest)


def parse_expiry(text):
    try:
        when = datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%SZ")
    except ValueError:
        return None
    return when.replace(tzinfo=datetime.timezone.utc)


def raw_signature_to_der(raw):
    def integer(value):
        value = value.lstrip(b"\0") or b"\0"
        if value[0] & 0x80:
            value = b"\0" + value
        return b"\x02" + bytes([len(value)]) + value
    body = integer(raw[:32]) + integer(raw[32:])
    return b"\x30" + bytes([len(body)]) + body


def verify(args):
    """Checks a manifest as the client built as --exe would, before it is published."""
    import tempfile
    text = open(args.manifest, "rb").read()
    at = text.rfind(b"\nsignature=")
    if at < 0:
        fail("unsigned manifest")
    body, signature_line = text[:at + 1], text[at + 1:].rstrip(b"\r\n")
    try:
        raw = base64.b64decode(signature_line[len(b"signature="):], validate=True)
    except ValueError:
        raw = b""
    if len(raw) != 64:
        fail("malformed signature")
    with tempfile.TemporaryDirectory() as scratch:
        signature_file = os.path.join(scratch, "signature.der")
        with open(signature_file, "wb") as f:
            f.write(raw_signature_to_der(raw))
        result = subprocess.run(["openssl", "dgst", "-sha256", "-verify", args.key, "-signature", signature_file],
                                input=body, capture_output=True)
    if result.returncode != 0:
        fail("the signature does not verify with " + args.key)
    fields = {}
    for line in body.decode("utf-8", "replace").splitlines():
        if line:
            key, _, value = line.partition("=")
            if key in fields:
                fail("the key %s is repeated" % key)
            fields[key] = value
    for key in ("version", "product", "url", "size", "sha256", "expires"):
        if key not in fields:
            fail("the manifest has no " + key)
    exe = open(args.exe, "rb").read()
    product = product_of(args.exe)
    if fields["product"] != product:
        fail("the manifest is for %s, the exe for %s" % (fields["product"], product))
    if not version_is_buildable(fields["version"]):
        fail("version %s cannot be built (one to four parts of 0 to 65535)" % fields["version"])
    if fields["version"] != file_version(args.exe):
        fail("the manifest names version %s, the exe is %s" % (fields["version"], file_version(args.exe)))
    if fields["size"] != str(len(exe)):
        fail("the manifest names size %s, the exe has %d bytes" % (fields["size"], len(exe)))
    if fields["sha256"] != hashlib.sha256(exe).hexdigest():
        fail("the manifest's sha256 is not the exe's")
    if not re.match(r"(?i)https?://[^/\s]", fields["url"]):
        fail("the address is not http:// or https://")
    when, now = parse_expiry(fields["expires"]), datetime.datetime.now(datetime.timezone.utc)
    if when is None or when <= now:
        fail("the manifest has expired")
    if when > now + datetime.timedelta(days=MAX_DAYS):
        fail("the manifest expires more than %d days ahead: clients refuse it" % MAX_DAYS)
    rollout = fields.get("rollout", "100")
    if not re.fullmatch(r"0|[1-9]\d?|100", rollout):
        fail("rollout %s is not from 0 to 100" % rollout)
    print("manifest OK: %s %s for %s, %s bytes, expires %s, rollout %s %%, key %s"
          % (product, fields["version"], fields["url"], fields["size"], fields["expires"], rollout,
             key_id(raw_public_key(args.key))))


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
    s.add_argument("--rollout", type=int)
    s.add_argument("--out")
    v = sub.add_parser("verify")
    v.add_argument("--manifest", required=True)
    v.add_argument("--exe", required=True)
    v.add_argument("--key", required=True)
    i = sub.add_parser("keyid")
    i.add_argument("public")
    args = ap.parse_args()
    if args.command == "keygen":
        keygen(args.private)
    elif args.command == "keyid":
        print(key_id(raw_public_key(args.public)))
    elif args.command == "verify":
        verify(args)
    elif args.command == "rawkey":
        raw = raw_public_key(args.public)
        if not os.path.exists(args.out) or open(args.out, "rb").read() != raw:
            with open(args.out, "wb") as f:
                f.write(raw)
    else:
        sign(args)


if __name__ == "__main__":
    main()
