"""Whole installations of vantrel.exe under Wine, against a real local server.

Shared by the end-to-end tests and scripts/demo: it publishes a game into a
web root, serves it on the port the installer was built for, runs the real
executable under Xvfb, drives its window through the project's UI driver and
collects what the installation left behind.
"""

import contextlib
import hashlib
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TITLE = "Corvel在线安装"


def log(msg):
    print(msg, flush=True)


class Tree:
    """A Windows build tree that can run here, and the native tools beside it."""

    def __init__(self, build=None, native=None):
        self.build = build or os.environ.get("VANTREL_RUN_TREE") or os.path.join(ROOT, "build", "win64")
        self.native = native or os.environ.get("VANTREL_NATIVE_TREE") or os.path.join(ROOT, "build", "native")
        self.wine_run = os.path.join(self.build, "wine-run")
        self.vantrel = os.path.join(self.build, "app", "vantrel.exe")
        self.uidriver = os.path.join(self.build, "tools", "uidriver", "uidriver.exe")
        self.sample_game = os.path.join(self.build, "samples", "game", "game.exe")
        self.uninstaller = os.path.join(self.build, "samples", "uninstaller", "uninst.exe")
        self.pack = os.path.join(self.native, "tools", "pack", "vantrel-pack")
        self.publish = os.path.join(ROOT, "tools", "publish", "vantrel-publish")
        self.server = os.path.join(ROOT, "tests", "support", "http_test_server.py")
        self.download_server = self._config("VANTREL_DOWNLOAD_SERVER")
        self.portal_server = self._config("VANTREL_PORTAL_SERVER")
        self.port = int(self.download_server.rsplit(":", 1)[1]) if self.download_server.count(":") == 2 else 80

    def _config(self, name):
        """The endpoint the executable was built for."""
        with open(os.path.join(self.build, "generated", "build_config.h")) as f:
            return re.search(r'#define %s "([^"]*)"' % name, f.read()).group(1)


class Wine:
    """One private prefix; every Windows program of a test runs in it."""

    def __init__(self, tree, prefix, display):
        self.tree = tree
        self.prefix = prefix
        self.display = display
        self.env = dict(os.environ)
        self.env.update(VANTREL_WINEPREFIX=prefix, DISPLAY=display, WINEDEBUG="-all,warn+debugstr")

    def run(self, exe, *args, timeout=120, check=False):
        p = subprocess.run([self.tree.wine_run, exe, *args], env=self.env, capture_output=True, timeout=timeout)
        out = p.stdout.decode("gbk", "replace")
        if check and p.returncode != 0:
            raise RuntimeError(f"{exe} {args} failed ({p.returncode}):\n{out}")
        return p.returncode, out

    def start(self, exe, *args):
        return subprocess.Popen([self.tree.wine_run, exe, *args], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

    def unix(self, windows_path):
        """C:\\x\\y inside the prefix as a unix path."""
        m = re.match(r"^([A-Za-z]):\\(.*)$", windows_path)
        if not m:
            raise ValueError(windows_path)
        drive, rest = m.group(1).lower(), m.group(2).replace("\\", "/")
        if drive == "z":
            return "/" + rest
        return os.path.join(self.prefix, "drive_c" if drive == "c" else f"dosdevices/{drive}:", rest)

    def reg_query(self, key):
        code, out = self.run("reg", "query", key)
        return code, out

    def kill(self):
        subprocess.run(["/usr/lib/wine/wineserver64", "-k"], env=self.env, capture_output=True)


def debug_lines(output):
    """The installer's debugger lines from Wine's debugstr channel, as text."""
    lines = []
    for m in re.finditer(r'OutputDebugStringA "(.*)"', output):
        raw = m.group(1)
        data = bytearray()
        i = 0
        while i < len(raw):
            c = raw[i]
            if c == "\\" and i + 1 < len(raw):
                n = raw[i + 1]
                if n == "x" and i + 3 < len(raw):
                    data.append(int(raw[i + 2:i + 4], 16))
                    i += 4
                    continue
                data.extend({"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\", '"': b'"'}.get(n, n.encode()))
                i += 2
                continue
            data.extend(c.encode("utf-8"))
            i += 1
        lines.append(data.decode("gbk", "replace").rstrip("\n"))
    return lines


@contextlib.contextmanager
def display():
    """The caller's display, or a private Xvfb for the duration."""
    if os.environ.get("DISPLAY"):
        yield os.environ["DISPLAY"]
        return
    for n in range(150, 200):
        if not os.path.exists(f"/tmp/.X{n}-lock"):
            break
    proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if os.path.exists(f"/tmp/.X11-unix/X{n}"):
            break
        time.sleep(0.05)
    try:
        yield f":{n}"
    finally:
        proc.terminate()
        proc.wait()


def screenshot(disp, path):
    subprocess.run(["import", "-display", disp, "-window", "root", path], check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def tree_digest(top):
    """Relative path (lower case, as the installer writes it) -> sha256, for files below top."""
    out = {}
    btop = os.fsencode(top)
    for dirpath, _, files in os.walk(btop):
        for name in files:
            p = os.path.join(dirpath, name)
            rel = os.path.relpath(p, btop)
            try:
                text = rel.decode("utf-8")
            except UnicodeDecodeError:
                text = rel.decode("gbk")
            out[text.lower()] = sha256(p)
    return out


def port_free(port):
    with socket.socket() as s:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            s.bind(("127.0.0.1", port))
            return True
        except OSError:
            return False


class Server:
    """The project's test server over a web root, on the installer's port."""

    def __init__(self, tree, root, port=None):
        self.tree, self.root, self.port = tree, root, port or tree.port
        self.log = os.path.join(root, "..", "requests.log")
        self.proc = None

    def __enter__(self):
        for _ in range(100):
            if port_free(self.port):
                break
            time.sleep(0.1)
        open(self.log, "wb").close()
        self.proc = subprocess.Popen([sys.executable, self.tree.server, "--root", self.root, "--port", str(self.port),
                                      "--log", self.log, "--max-seconds", "1800"],
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        line = self.proc.stdout.readline().decode()
        if "listening" not in line:
            raise RuntimeError(f"test server did not start: {line}")
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        self.proc.wait()
        self.proc.stdout.close()

    def requests(self):
        with open(self.log, "rb") as f:
            data = f.read()
        return [r for r in data.split(b"--vantrel-request-end--\n") if r.strip()]

    def request_lines(self):
        return [r.split(b"\r\n", 1)[0].decode("latin-1") for r in self.requests()]


GAME_NAME = "星海传说"
PRODUCT_TITLE = "星海传说 Online"
EXE_NAME = "game.exe"
UNINST_NAME = "uninst.exe"


def make_game_tree(tree, top, extra_bytes=0):
    """A small game: the sample program, its uninstaller and some data."""
    os.makedirs(os.path.join(top, "uninstall"), exist_ok=True)
    os.makedirs(os.path.join(top, "data", "maps"), exist_ok=True)
    shutil.copy(tree.sample_game, os.path.join(top, EXE_NAME))
    shutil.copy(tree.uninstaller, os.path.join(top, "uninstall", UNINST_NAME))
    with open(os.path.join(top, "title.txt"), "wb") as f:
        f.write(PRODUCT_TITLE.encode("gbk") + b"\r\n")
    with open(os.path.join(top, "data", "maps", "a.dat"), "wb") as f:
        f.write(bytes(range(256)) * 64)
    open(os.path.join(top, "data", "empty.txt"), "wb").close()
    # Names are packed as bytes: a publisher keeps them in GBK.
    with open(os.path.join(os.fsencode(top), b"data", "说明.txt".encode("gbk")), "wb") as f:
        f.write("欢迎来到星海传说\r\n".encode("gbk"))
    if extra_bytes:
        with open(os.path.join(top, "data", "big.bin"), "wb") as f:
            f.write(os.urandom(extra_bytes))
    return top


def publish(tree, game_dir, webroot, base_url=None):
    base_url = base_url or tree.download_server
    subprocess.run([sys.executable, tree.publish, "--game", game_dir, "--out", webroot, "--base-url", base_url,
                    "--gamename", GAME_NAME, "--exefilename", EXE_NAME, "--product-title", PRODUCT_TITLE,
                    "--uninstname", UNINST_NAME, "--publisher", "Corvel", "--contact", "support@corvel.example",
                    "--url-agreement", base_url + "/eula.html", "--pack", tree.pack],
                   check=True, capture_output=True)
    return webroot


def read_ini(path):
    """Sections and keys in file order, values as text."""
    sections, current = [], None
    with open(path, "rb") as f:
        for raw in f.read().decode("gbk").splitlines():
            line = raw.strip()
            if line.startswith("[") and line.endswith("]"):
                current = (line[1:-1], [])
                sections.append(current)
            elif "=" in line and current is not None:
                k, v = line.split("=", 1)
                current[1].append((k, v))
    return sections


class Prefix:
    """Paths of the player's world inside the Wine prefix."""

    def __init__(self, wine):
        self.wine = wine
        base = os.path.join(wine.prefix, "drive_c")
        self.install_dir = os.path.join(base, "Program Files", GAME_NAME)
        users = os.path.join(base, "users", os.environ.get("USER", "root"))
        if not os.path.isdir(users):
            cands = [d for d in os.listdir(os.path.join(base, "users")) if d not in ("Public",)]
            users = os.path.join(base, "users", cands[0]) if cands else users
        self.desktop = os.path.join(users, "Desktop")
        self.programs = os.path.join(users, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")
        self.common_programs = os.path.join(base, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs")
        self.uninstall_key = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + GAME_NAME

    def clean(self):
        """Removes every trace of an earlier installation of the game."""
        shutil.rmtree(self.install_dir, ignore_errors=True)
        for p in (os.path.join(self.desktop, "game.lnk"),):
            with contextlib.suppress(FileNotFoundError):
                os.remove(p)
        shutil.rmtree(os.path.join(self.programs, GAME_NAME), ignore_errors=True)
        shutil.rmtree(os.path.join(self.common_programs, GAME_NAME), ignore_errors=True)
        self.wine.run("reg", "delete", self.uninstall_key, "/f")

    def registry(self):
        code, out = self.wine.run("reg", "query", self.uninstall_key)
        if code != 0:
            return None
        values = {}
        for line in out.splitlines():
            parts = re.split(r"\s{2,}|\t", line.strip())
            if len(parts) >= 3 and parts[1].startswith("REG_"):
                values[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else "")
            elif len(parts) == 2 and parts[1].startswith("REG_"):
                values[parts[0]] = (parts[1], "")
        return values


class Run:
    """One start of vantrel.exe: its process, the driver and what it printed."""

    def __init__(self, wine):
        self.wine = wine
        self.proc = wine.start(wine.tree.vantrel)
        self.output = ""
        self.exit_code = None

    def drive(self, *commands, timeout=120):
        code, out = self.wine.run(self.wine.tree.uidriver, *commands, timeout=timeout)
        return out, code

    def wait(self, timeout=180):
        try:
            out, _ = self.proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            out, _ = self.proc.communicate()
            self.output = out.decode("gbk", "replace")
            raise
        self.output = out.decode("gbk", "replace")
        self.exit_code = self.proc.returncode
        return self.exit_code

    def debug(self):
        return debug_lines(self.output)

    def statuses(self):
        return [int(l.split()[-1]) for l in self.debug() if re.fullmatch(r"online_log status \d+", l)]

    def progresses(self):
        return [int(l.split()[-1]) for l in self.debug() if re.fullmatch(r"online_log progress \d+", l)]
