#!/usr/bin/env python3
"""Runs the release tool's verify on a good manifest and on what must fail it, for ManifestTests:
verify_cases.py <tool> <fixture folder> <exe>. Writes <fixture>/verify.txt, one line per case:
<case>\t<exit code>\t<the tool's last line>."""
import os
import shutil
import subprocess
import sys

tool, fixture, exe = sys.argv[1:4]


def run(name, manifest, exe_path, key):
    result = subprocess.run([sys.executable, tool, "verify", "--manifest", manifest, "--exe", exe_path, "--key", key],
                            capture_output=True, text=True)
    lines = (result.stdout + result.stderr).strip().splitlines()
    return "%s\t%d\t%s\n" % (name, result.returncode, lines[-1] if lines else "")


good = os.path.join(fixture, "manifest.txt")
key = os.path.join(fixture, "key.pub.pem")
changed = os.path.join(fixture, "changed.txt")
with open(good, "rb") as f:
    text = f.read()
with open(changed, "wb") as f:
    f.write(text.replace(b"rollout=20", b"rollout=90"))
longer = os.path.join(fixture, "longer.exe")
shutil.copyfile(exe, longer)
with open(longer, "ab") as f:
    f.write(b"\0")
other = os.path.join(fixture, "other.pem")
if not os.path.exists(other):
    subprocess.run([sys.executable, tool, "keygen", other], check=True)
with open(os.path.join(fixture, "verify.txt"), "w") as out:
    out.write(run("good", good, exe, key))
    out.write(run("another key", good, exe, os.path.join(fixture, "other.pub.pem")))
    out.write(run("a signed line changed", changed, exe, key))
    out.write(run("another exe", good, longer, key))
