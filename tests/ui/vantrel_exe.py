"""Runs the real installer under Wine beside a test server on its configured
port, drives it through the project's UI driver and takes screenshots."""

import os
import shutil
import subprocess
import tempfile
import time
import zlib

PORT = 47180
TITLE = "Corvel在线安装"


def gbk(text):
    return text.replace("\n", "\r\n").encode("gbk")


def manifest(game="星辰之门", size="size=1536"):
    lines = ["[setup]", "gamename=" + game, "exefilename=StarGate.exe", "ProductTitle=" + game]
    if size:
        lines.append(size)
    lines += ["urlAgreement=http://127.0.0.1:9/agreement", "uninstname=uninst.exe", "Publisher=Corvel",
              "Contact=x", "[config]", "1.0=http://127.0.0.1:%d/update/list.txt" % PORT, ""]
    return gbk("\n".join(lines))


class Server:
    """The project's test server on the installer's port, serving a fresh root."""

    def __init__(self, script):
        self.root = tempfile.mkdtemp(prefix="vantrel-exe-")
        os.makedirs(os.path.join(self.root, "update"))
        self.log = os.path.join(self.root, "requests.log")
        self.proc = subprocess.Popen(["python3", script, "--root", self.root, "--port", str(PORT), "--log", self.log,
                                      "--max-seconds", "900"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.proc.stdout.readline()  # "listening on ..."

    def serve_manifest(self, data):
        path = os.path.join(self.root, "update", "vantrel.txt")
        if data is None:
            if os.path.exists(path):
                os.remove(path)
            return
        with open(path, "wb") as f:
            f.write(data)

    def requests(self):
        try:
            with open(self.log, "rb") as f:
                return f.read().decode("latin-1")
        except OSError:
            return ""

    def stop(self):
        self.proc.terminate()
        self.proc.wait()
        shutil.rmtree(self.root, ignore_errors=True)


class Wine:
    def __init__(self, wine_run, driver):
        self.wine_run = wine_run
        self.driver = driver
        self.env = dict(os.environ, WINEDEBUG="-all,warn+debugstr")

    def start(self, exe, *args):
        out = tempfile.TemporaryFile()
        proc = subprocess.Popen([self.wine_run, exe] + list(args), stdout=out, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, env=self.env)
        proc.output_file = out
        return proc

    def drive(self, *commands, timeout=60):
        """Runs the driver; its result lines (GBK decoded) and exit code."""
        r = subprocess.run([self.wine_run, self.driver] + [str(c) for c in commands], capture_output=True,
                           timeout=timeout, env=self.env)
        lines = [l.strip() for l in r.stdout.decode("gbk", "replace").splitlines() if l.strip()]
        return lines, r.returncode


def finish(proc, timeout=30):
    """Exit code and output of a started program."""
    rc = proc.wait(timeout=timeout)
    proc.output_file.seek(0)
    return rc, proc.output_file.read().decode("gbk", "replace")


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True)
    ppm = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
    return Ppm(ppm)


class Ppm:
    def __init__(self, data):
        parts = data.split(None, 4)
        assert parts[0] == b"P6"
        self.width, self.height = int(parts[1]), int(parts[2])
        self.bits = parts[4][: self.width * self.height * 3]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.bits[i:i + 3])


def read_png(path):
    """8-bit RGB or RGBA, not interlaced: what the skin's pictures are. Returns (w, h, rows of RGB)."""
    with open(path, "rb") as f:
        data = f.read()
    pos, idat, width, height, kind = 8, b"", 0, 0, 0
    while pos < len(data):
        n = int.from_bytes(data[pos:pos + 4], "big")
        tag, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
        if tag == b"IHDR":
            width, height = int.from_bytes(body[0:4], "big"), int.from_bytes(body[4:8], "big")
            assert body[8] == 8 and body[12] == 0
            kind = body[9]
        elif tag == b"IDAT":
            idat += body
        pos += 12 + n
    bpp = {2: 3, 6: 4}[kind]
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        ftype, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b, c = prev[i], (prev[i - bpp] if i >= bpp else 0)
            if ftype == 1:
                line[i] = (line[i] + a) & 255
            elif ftype == 2:
                line[i] = (line[i] + b) & 255
            elif ftype == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(width)])
        prev = line
    return width, height, rows


def wait_until(pred, seconds):
    end = time.time() + seconds
    while time.time() < end:
        if pred():
            return True
        time.sleep(0.2)
    return False


def ensure_display():
    """The caller's display, or a private Xvfb for this run (stopped at exit)."""
    if os.environ.get("DISPLAY"):
        return
    import atexit
    for n in range(150, 200):
        if not os.path.exists("/tmp/.X%d-lock" % n):
            xvfb = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            wait_until(lambda: os.path.exists("/tmp/.X11-unix/X%d" % n), 10)
            os.environ["DISPLAY"] = ":%d" % n
            atexit.register(lambda: (xvfb.terminate(), xvfb.wait()))
            return
