#!/usr/bin/env python3
"""Bounded HTTP/1.1 file server for the installer's tests (stdlib only).

Modes
  --run -- CMD ARGS...   fresh temporary web root and request log, server on
                         127.0.0.1 with an ephemeral port; CMD runs with
                           VANTREL_TEST_SERVER=http://127.0.0.1:PORT
                           VANTREL_TEST_ROOT=<web root, unix path>
                           VANTREL_TEST_LOG=<request log, unix path>
                         then everything is removed; exit code is CMD's
                         (124 when CMD outlives --max-seconds).
  --root DIR [--port N] [--log FILE] [--port-file FILE]
                         serves DIR in the foreground (demo, benchmarks);
                         prints "listening on http://127.0.0.1:PORT".
  Either mode stops after --max-seconds (default 900; 0 = no limit).

Files
  GET/HEAD of /a/b serves ROOT/a/b. Range "bytes=N-" and "bytes=N-M" answer
  206 with Content-Range; N >= size answers 416 with "Content-Range: bytes
  */size"; a malformed or multi-part Range is ignored (200). A missing file
  or a directory answers 404. Connections stay open (HTTP/1.1 keep-alive)
  unless the client asks for close or a fault ends them.
  /Game/GameUninstall.aspx (any query) answers 200 with a small body.

Faults (query parameters; the query never names the file)
  times=K          faults apply to the first K requests with this exact
                   path+query (default: every request); later ones are clean
  drop_after=N     send the headers and N body bytes, then cut the connection
  hangup=1         cut the connection without answering
  ignore_range=1   answer 200 with the whole file even to a Range request
  status=CODE      answer CODE; body from body=TEXT, else "status CODE"
  no_length=chunked | no_length=close
                   no Content-Length: chunked coding, or end by closing
  length=N         announce Content-Length N whatever is sent (then close)
  stall=SECONDS    wait before answering (float)
  pace_ms=MS       sleep MS after every body chunk of chunk=BYTES (64 KiB)

Request log
  Every request is appended as its raw bytes exactly as received, request
  line through the empty line that ends the header block, followed by the
  separator line below. Entries are written before the answer goes out, so a
  client that has its answer finds its request logged. Truncating the file
  between requests is fine (it is reopened for every entry).
"""

import argparse
import os
import shutil
import signal
import socket
import socketserver
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

LOG_SEPARATOR = b"--vantrel-request-end--\n"
REPORT_PATH = b"/Game/GameUninstall.aspx"
MAX_HEADER_BYTES = 64 * 1024
IDLE_TIMEOUT = 60
CHUNK = 64 * 1024

REASONS = {
    200: "OK", 206: "Partial Content", 301: "Moved Permanently", 302: "Found", 304: "Not Modified",
    400: "Bad Request", 403: "Forbidden", 404: "Not Found", 416: "Range Not Satisfiable",
    500: "Internal Server Error", 502: "Bad Gateway", 503: "Service Unavailable",
}


class Hangup(Exception):
    """The connection ends now, without or in the middle of an answer."""


class State:
    def __init__(self, root, log_path):
        self.root = os.path.realpath(root)
        self.log_path = log_path
        self.lock = threading.Lock()
        self.counts = {}

    def log(self, raw):
        if not self.log_path:
            return
        with self.lock:
            with open(self.log_path, "ab") as f:
                f.write(raw)
                f.write(LOG_SEPARATOR)

    def count(self, key):
        with self.lock:
            n = self.counts.get(key, 0) + 1
            self.counts[key] = n
            return n


def parse_range(value, size):
    """(start, end) inclusive, "unsatisfiable", or None to ignore the header."""
    value = value.strip()
    if not value.lower().startswith("bytes="):
        return None
    ranges = value[6:].strip()
    if "," in ranges or "-" not in ranges:
        return None
    first, last = ranges.split("-", 1)
    first, last = first.strip(), last.strip()
    try:
        if first == "":
            # Suffix form: the last N bytes.
            n = int(last)
            if n <= 0:
                return "unsatisfiable"
            return (max(0, size - n), size - 1) if size else "unsatisfiable"
        start = int(first)
        end = int(last) if last else size - 1
    except ValueError:
        return None
    if start < 0 or (last and end < start):
        return None
    if start >= size:
        return "unsatisfiable"
    return (start, min(end, size - 1))


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.settimeout(IDLE_TIMEOUT)
        self.buf = b""

    def read_head(self):
        while b"\r\n\r\n" not in self.buf and b"\n\n" not in self.buf:
            if len(self.buf) > MAX_HEADER_BYTES:
                raise Hangup()
            data = self.request.recv(65536)
            if not data:
                raise Hangup()
            self.buf += data
        ends = [i + n for i, n in ((self.buf.find(b"\r\n\r\n"), 4), (self.buf.find(b"\n\n"), 2)) if i >= 0]
        end = min(ends)
        head, self.buf = self.buf[:end], self.buf[end:]
        return head

    def handle(self):
        state = self.server.state
        try:
            while True:
                head = self.read_head()
                state.log(head)
                keep = self.answer(state, head)
                if not keep:
                    break
        except (Hangup, OSError):
            pass
        finally:
            try:
                self.request.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def send(self, data):
        self.request.sendall(data)

    def answer(self, state, head):
        lines = head.split(b"\n")
        request_line = lines[0].rstrip(b"\r")
        headers = {}
        for line in lines[1:]:
            line = line.rstrip(b"\r")
            if b":" in line:
                k, v = line.split(b":", 1)
                headers[k.strip().lower().decode("latin-1")] = v.strip().decode("latin-1")
        parts = request_line.split(b" ")
        if len(parts) != 3:
            self.respond(400, b"bad request\n", {}, close=True)
            return False
        method, target, version = parts
        # A request body is read and thrown away.
        body_len = int(headers.get("content-length", "0") or 0)
        while len(self.buf) < body_len:
            data = self.request.recv(65536)
            if not data:
                raise Hangup()
            self.buf += data
        self.buf = self.buf[body_len:]

        close = headers.get("connection", "").lower() == "close" or version == b"HTTP/1.0"
        path, _, query = target.partition(b"?")
        params = dict(urllib.parse.parse_qsl(query.decode("latin-1"), keep_blank_values=True))
        times = params.get("times")
        n = state.count(target)
        faults = params if times is None or n <= int(times) else {}

        stall = float(faults.get("stall", 0) or 0)
        if stall > 0:
            time.sleep(stall)
        if faults.get("hangup"):
            raise Hangup()

        head_only = method == b"HEAD"
        if "status" in faults:
            code = int(faults["status"])
            body = faults.get("body", "status %d" % code).encode("latin-1", "replace")
            return self.respond(code, body, {}, close, faults, head_only)

        if path == REPORT_PATH:
            return self.respond(200, b"ok\n", {"Content-Type": "text/html"}, close, faults, head_only)

        fs_path = self.resolve(state, path)
        if fs_path is None:
            return self.respond(404, b"not found\n", {"Content-Type": "text/html"}, close, faults, head_only)

        size = os.path.getsize(fs_path)
        extra = {"Content-Type": "application/octet-stream", "Accept-Ranges": "bytes"}
        code, start, end = 200, 0, size - 1
        if "range" in headers and not faults.get("ignore_range"):
            r = parse_range(headers["range"], size)
            if r == "unsatisfiable":
                extra = {"Content-Range": "bytes */%d" % size, "Content-Type": "text/html"}
                return self.respond(416, b"range not satisfiable\n", extra, close, faults, head_only)
            if r is not None:
                code, (start, end) = 206, r
                extra["Content-Range"] = "bytes %d-%d/%d" % (start, end, size)
        return self.respond(code, None, extra, close, faults, head_only, (fs_path, start, end - start + 1))

    def resolve(self, state, path):
        rel = urllib.parse.unquote_to_bytes(path).lstrip(b"/")
        root = os.fsencode(state.root)
        full = os.path.realpath(os.path.join(root, rel))
        if full != root and not full.startswith(root + b"/"):
            return None
        return full if os.path.isfile(full) else None

    def respond(self, code, body, extra, close, faults=None, head_only=False, file_part=None):
        faults = faults or {}
        length = len(body) if file_part is None else file_part[2]
        no_length = faults.get("no_length")
        hdrs = ["HTTP/1.1 %d %s" % (code, REASONS.get(code, "Status"))]
        for k, v in extra.items():
            hdrs.append("%s: %s" % (k, v))
        if "length" in faults:
            hdrs.append("Content-Length: %d" % int(faults["length"]))
            close = True
        elif no_length == "chunked":
            hdrs.append("Transfer-Encoding: chunked")
        elif no_length == "close":
            close = True
        else:
            hdrs.append("Content-Length: %d" % length)
        if "drop_after" in faults:
            close = True
        hdrs.append("Connection: %s" % ("close" if close else "keep-alive"))
        self.send(("\r\n".join(hdrs) + "\r\n\r\n").encode("latin-1"))
        if head_only:
            return not close

        limit = int(faults["drop_after"]) if "drop_after" in faults else None
        pace = float(faults.get("pace_ms", 0) or 0) / 1000.0
        chunk = int(faults.get("chunk", CHUNK) or CHUNK)
        chunked = no_length == "chunked" and "length" not in faults
        plain = limit is None and pace == 0 and not chunked

        def pieces():
            if file_part is None:
                for i in range(0, len(body), chunk):
                    yield body[i:i + chunk]
                return
            fs_path, start, count = file_part
            with open(fs_path, "rb") as f:
                f.seek(start)
                while count > 0:
                    data = f.read(min(chunk, count))
                    if not data:
                        break
                    count -= len(data)
                    yield data

        if plain and file_part is not None:
            fs_path, start, count = file_part
            with open(fs_path, "rb") as f:
                if count > 0:
                    self.request.sendfile(f, start, count)
        else:
            sent = 0
            for data in pieces():
                if limit is not None and sent + len(data) >= limit:
                    data = data[:limit - sent]
                    if data:
                        self.send(b"%x\r\n%s\r\n" % (len(data), data) if chunked else data)
                    raise Hangup()
                self.send(b"%x\r\n%s\r\n" % (len(data), data) if chunked else data)
                sent += len(data)
                if pace:
                    time.sleep(pace)
            if limit is not None and sent >= limit:
                raise Hangup()
            if chunked:
                self.send(b"0\r\n\r\n")
        return not close


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def start_server(root, log_path, port=0):
    server = Server(("127.0.0.1", port), Handler)
    server.state = State(root, log_path)
    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
    thread.start()
    return server


def run_command(args, cmd):
    tmp = tempfile.mkdtemp(prefix="vantrel-http-")
    root = os.path.join(tmp, "root")
    log_path = os.path.join(tmp, "requests.log")
    os.mkdir(root)
    open(log_path, "wb").close()
    server = start_server(root, log_path)
    env = dict(os.environ)
    env["VANTREL_TEST_SERVER"] = "http://127.0.0.1:%d" % server.server_address[1]
    env["VANTREL_TEST_ROOT"] = root
    env["VANTREL_TEST_LOG"] = log_path
    timeout = args.max_seconds or None
    try:
        proc = subprocess.Popen(cmd, env=env)
        try:
            rc = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            sys.stderr.write("http_test_server: command exceeded %s s, killed\n" % args.max_seconds)
            proc.kill()
            proc.wait()
            rc = 124
        except KeyboardInterrupt:
            proc.kill()
            proc.wait()
            rc = 130
    finally:
        server.shutdown()
        server.server_close()
        shutil.rmtree(tmp, ignore_errors=True)
    return rc


def _terminate(signum, frame):
    raise KeyboardInterrupt()


def main(argv):
    # A killed runner still stops its server and removes its temporaries.
    signal.signal(signal.SIGTERM, _terminate)
    if "--run" in argv:
        i = argv.index("--run")
        head, cmd = argv[:i], argv[i + 1:]
        if cmd[:1] == ["--"]:
            cmd = cmd[1:]
    else:
        head, cmd = argv, None
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter,
                                usage="%(prog)s [--max-seconds S] --run -- CMD ARGS...\n"
                                      "       %(prog)s --root DIR [--port N] [--log FILE] [--port-file FILE]")
    p.add_argument("--root")
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--log")
    p.add_argument("--port-file")
    p.add_argument("--max-seconds", type=float, default=900)
    args = p.parse_args(head)
    if cmd is not None:
        if not cmd:
            p.error("--run needs a command")
        return run_command(args, cmd)
    if not args.root:
        p.error("give --run -- CMD or --root DIR")
    server = start_server(args.root, args.log, args.port)
    port = server.server_address[1]
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as f:
            f.write("%d\n" % port)
        os.replace(args.port_file + ".tmp", args.port_file)
    print("listening on http://127.0.0.1:%d" % port, flush=True)
    try:
        deadline = time.monotonic() + args.max_seconds if args.max_seconds else None
        while deadline is None or time.monotonic() < deadline:
            time.sleep(0.5)
    except KeyboardInterrupt:
        pass
    finally:
        server.shutdown()
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
