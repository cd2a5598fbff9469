#!/usr/bin/env python3
"""An HTTP proxy for apt that makes one part of a mirror look mid-sync, to try the set-up scripts
against it: every index whose path matches the pattern comes back a few bytes short, so apt reports
"File has unexpected size ... Mirror sync in progress?" for it, as it does when a real mirror is
caught between two syncs. Everything else passes through unchanged.

    tools/apt_mirror_fault.py --port 3142 --pattern 'debian-security/dists/.*/binary-i386/' &
    echo 'Acquire::http::Proxy "http://127.0.0.1:3142";' > /etc/apt/apt.conf.d/99mirror-fault
    ... run the set-up; then remove the file and stop the proxy.
"""
import argparse
import http.server
import re
import socketserver
import urllib.error
import urllib.request

PASSED_HEADERS = ("content-type", "last-modified", "etag", "date")


def make_handler(pattern):
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            request = urllib.request.Request(self.path)
            for name in ("If-Modified-Since", "If-None-Match", "Range", "User-Agent"):
                if self.headers.get(name):
                    request.add_header(name, self.headers[name])
            try:
                with opener.open(request, timeout=60) as answer:
                    status, headers, body = answer.status, answer.headers, answer.read()
            except urllib.error.HTTPError as error:
                status, headers, body = error.code, error.headers, error.read()
            except OSError as error:
                self.send_error(502, str(error))
                return
            if status == 200 and pattern.search(self.path) and len(body) > 64:
                body = body[:-64]
            self.send_response(status)
            for name in PASSED_HEADERS:
                if headers.get(name):
                    self.send_header(name, headers[name])
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=3142)
    parser.add_argument("--pattern", required=True, help="regular expression on the requested URL")
    args = parser.parse_args()
    server = socketserver.ThreadingTCPServer(("127.0.0.1", args.port), make_handler(re.compile(args.pattern)))
    server.daemon_threads = True
    server.serve_forever()


if __name__ == "__main__":
    main()
