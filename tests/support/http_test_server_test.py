#!/usr/bin/env python3
"""Checks the test server itself; runs under its --run mode."""

import http.client
import os
import socket
import sys
import unittest
import urllib.parse

sys.dont_write_bytecode = True  # keep the source tree clean
from http_test_server import LOG_SEPARATOR

SERVER = os.environ["VANTREL_TEST_SERVER"]
ROOT = os.environ["VANTREL_TEST_ROOT"]
LOG = os.environ["VANTREL_TEST_LOG"]
DATA = bytes(range(256)) * 40  # 10240 bytes


def get(path, headers=None):
    u = urllib.parse.urlsplit(SERVER)
    c = http.client.HTTPConnection(u.hostname, u.port, timeout=10)
    try:
        c.request("GET", path, headers=headers or {})
        r = c.getresponse()
        try:
            body = r.read()
        except http.client.IncompleteRead as e:
            body = e.partial
        return r.status, dict((k.lower(), v) for k, v in r.getheaders()), body
    finally:
        c.close()


def raw_exchange(request):
    u = urllib.parse.urlsplit(SERVER)
    with socket.create_connection((u.hostname, u.port), timeout=10) as s:
        s.sendall(request)
        out = b""
        while True:
            d = s.recv(65536)
            if not d:
                return out
            out += d


class ServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        os.makedirs(os.path.join(ROOT, "pkg"), exist_ok=True)
        with open(os.path.join(ROOT, "pkg", "file.bin"), "wb") as f:
            f.write(DATA)

    def test_ranges(self):
        cases = [  # header, status, body, content-range
            (None, 200, DATA, None),
            ("bytes=0-", 206, DATA, "bytes 0-10239/10240"),
            ("bytes=100-", 206, DATA[100:], "bytes 100-10239/10240"),
            ("bytes=100-199", 206, DATA[100:200], "bytes 100-199/10240"),
            ("bytes=10239-", 206, DATA[-1:], "bytes 10239-10239/10240"),
            ("bytes=10240-", 416, None, "bytes */10240"),
            ("bytes=99999-", 416, None, "bytes */10240"),
            ("bytes=x-", 200, DATA, None),
        ]
        for rng, status, body, crange in cases:
            with self.subTest(rng=rng):
                st, h, b = get("/pkg/file.bin", {"Range": rng} if rng else {})
                self.assertEqual(st, status)
                if body is not None:
                    self.assertEqual(b, body)
                    self.assertEqual(int(h["content-length"]), len(body))
                self.assertEqual(h.get("content-range"), crange)

    def test_missing_and_outside(self):
        for path in ["/pkg/none.bin", "/pkg", "/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd"]:
            with self.subTest(path=path):
                self.assertEqual(get(path)[0], 404)

    def test_query_is_not_the_name(self):
        st, _, b = get("/pkg/file.bin?whatever=1")
        self.assertEqual((st, b), (200, DATA))

    def test_drop_after_with_times(self):
        path = "/pkg/file.bin?drop_after=1000&times=2"
        for _ in range(2):
            st, _, b = get(path)
            self.assertEqual((st, len(b)), (200, 1000))
        st, _, b = get(path)
        self.assertEqual((st, b), (200, DATA))

    def test_faults(self):
        st, _, b = get("/pkg/file.bin?ignore_range=1", {"Range": "bytes=500-"})
        self.assertEqual((st, b), (200, DATA))
        st, _, b = get("/pkg/file.bin?status=500&body=boom")
        self.assertEqual((st, b), (500, b"boom"))
        for mode in ("chunked", "close"):
            st, h, b = get("/pkg/file.bin?no_length=" + mode)
            self.assertEqual((st, b, h.get("content-length")), (200, DATA, None))
        self.assertEqual(raw_exchange(b"GET /pkg/file.bin?hangup=1 HTTP/1.1\r\nHost: x\r\n\r\n"), b"")

    def test_report_endpoint(self):
        st, h, b = get("/Game/GameUninstall.aspx?params=0&action=1")
        self.assertEqual(st, 200)
        self.assertEqual(int(h["content-length"]), len(b))
        self.assertEqual(get("/Game/GameUninstall.aspx?status=503")[0], 503)

    def test_log_holds_raw_requests(self):
        open(LOG, "wb").close()
        reqs = [b"GET /pkg/file.bin HTTP/1.1\r\nHost: a\r\nX-Odd:  spaced \r\n\r\n",
                b"GET /nothing HTTP/1.1\r\nHost: b\r\nConnection: close\r\n\r\n"]
        # Both on one connection: keep-alive must hold for the first.
        out = raw_exchange(b"".join(reqs))
        self.assertEqual(out.count(b"HTTP/1.1 "), 2)
        with open(LOG, "rb") as f:
            entries = f.read().split(LOG_SEPARATOR)
        self.assertEqual(entries, reqs + [b""])


if __name__ == "__main__":
    unittest.main()
