#!/usr/bin/env python3
"""A stand-in for the operator's site on loopback, so the client can be run without one.

  /vorq/login/                  the login form; signing in sends the browser to the game start page
  /vorq/play_gamecode?...       the game start address the client watches for
  /vorq/game/                   the game page itself
  /getClientVersion.php?...     the version query: the signed manifest in the updates folder
                                (--updates DIR, file manifest.txt) for any older version, else 404
  /updates/<file>               files of the updates folder, with byte ranges for a cut download
"""
import argparse
import html
import os
import re
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlparse

LOGIN = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>登录</title>
<style>body{margin:0;background:#1b140d;color:#ffe9b0;font:14px sans-serif}
form{padding:24px 32px}input{margin:6px 0;width:220px}button{margin-top:10px}</style></head>
<body><form method="post" action="/vorq/login/">
<div>账号 <input name="account" value="demo"></div>
<div>密码 <input name="password" type="password" value="demo"></div>
<button type="submit">登录游戏</button></form></body></html>"""

GAME = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>Vantor</title></head>
<body style="margin:0;background:#0d0a07;color:#cbae5b;font:20px sans-serif">
<p style="padding:40px">《Vantor》 演示服务器 — 欢迎, {account}</p></body></html>"""


class Handler(BaseHTTPRequestHandler):
    def _send(self, status, body, headers=None):
        data = body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        for k, v in (headers or {}).items():
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        url = urlparse(self.path)
        if url.path.startswith("/vorq/login"):
            self._send(200, LOGIN)
        elif "play_gamecode" in url.path:
            account = parse_qs(url.query).get("account", ["demo"])[0]
            self._send(302, "", {"Location": "/vorq/game/?account=" + account})
        elif url.path.startswith("/vorq/game"):
            account = parse_qs(url.query).get("account", ["demo"])[0]
            self._send(200, GAME.format(account=html.escape(account)))
        elif url.path == "/getClientVersion.php":
            self._version(parse_qs(url.query).get("v", [""])[0])
        elif url.path.startswith("/updates/"):
            self._update_file(url.path[len("/updates/"):])
        else:
            self._send(404, "not found")

    def _raw(self, status, data, headers):
        self.send_response(status)
        for k, v in headers.items():
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def _version(self, asked):
        path = os.path.join(self.server.updates, "manifest.txt") if self.server.updates else ""
        if not path or not os.path.isfile(path):
            self._send(404, "no update")
            return
        manifest = open(path, "rb").read()
        offered = re.search(rb"^version=([0-9.]+)", manifest, re.M)
        newer = offered and [int(x) for x in offered.group(1).split(b".")] > [int(x) for x in asked.split(".") if x.isdigit()]
        if newer:
            self._raw(200, manifest, {"Content-Type": "text/plain; charset=utf-8"})
        else:
            self._send(404, "up to date")

    def _update_file(self, name):
        path = os.path.join(self.server.updates or "", os.path.basename(name))
        if not self.server.updates or not os.path.isfile(path):
            self._send(404, "not found")
            return
        data = open(path, "rb").read()
        m = re.fullmatch(r"bytes=(\d+)-", self.headers.get("Range", ""))
        if m and int(m.group(1)) < len(data):
            start = int(m.group(1))
            self._raw(206, data[start:], {"Content-Type": "application/octet-stream",
                                          "Content-Range": "bytes %d-%d/%d" % (start, len(data) - 1, len(data))})
        else:
            self._raw(200, data, {"Content-Type": "application/octet-stream"})

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0") or 0)
        form = parse_qs(self.rfile.read(min(length, 65536)).decode("utf-8", "replace"))
        account = form.get("account", ["demo"])[0]
        self._send(302, "", {"Location": "/vorq/play_gamecode?account=" + account})

    def log_message(self, *args):
        pass


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, default=18680)
    ap.add_argument("--updates", help="folder with manifest.txt and the files it names")
    args = ap.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.updates = args.updates
    server.serve_forever()


if __name__ == "__main__":
    main()
