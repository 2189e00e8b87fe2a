#!/usr/bin/env python3
"""Times one whole installation under Wine and a curl + extract peer."""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                                "tests", "e2e"))
import harness as h  # noqa: E402


def stamped(output):
    """(seconds, line) of the installer's debugger lines."""
    out = []
    # The window procedure's "1111" on stdout may run into the first line.
    output = re.sub(r"^1111(?=\d+\.\d+:)", "", output, flags=re.M)
    for m in re.finditer(r'^(\d+\.\d+):\S*OutputDebugStringA "(.*)"', output, re.M):
        out.append((float(m.group(1)), h.debug_lines(f'OutputDebugStringA "{m.group(2)}"')[0]))
    return out


def peak_rss_kib(pattern, proc, samples):
    best = 0
    while proc.poll() is None:
        for pid in subprocess.run(["pgrep", "-f", pattern], capture_output=True, text=True).stdout.split():
            try:
                with open(f"/proc/{pid}/status") as f:
                    m = re.search(r"VmHWM:\s+(\d+)", f.read())
                    if m:
                        best = max(best, int(m.group(1)))
            except OSError:
                pass
        time.sleep(0.05)
    samples.append(best)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tree", required=True)
    ap.add_argument("--native", required=True)
    ap.add_argument("--mib", type=int, default=64)
    args = ap.parse_args()
    tree = h.Tree(os.path.abspath(args.tree), os.path.abspath(args.native))
    work = tempfile.mkdtemp(prefix="vantrel-install-bench-")
    os.chmod(work, 0o755)
    try:
        game = h.make_game_tree(tree, os.path.join(work, "game"))
        for i in range(args.mib):
            with open(os.path.join(game, "data", f"part{i:03}.bin"), "wb") as f:
                f.write(os.urandom(1 << 20))
        www = h.publish(tree, game, os.path.join(work, "www"))
        pkg_size = os.path.getsize(os.path.join(www, "packages", "game.pkg"))
        nginx = subprocess.Popen([sys.executable, tree.server.replace("http_test_server.py", "nginx_server.py"),
                                  "--root", www, "--port", str(tree.port), "--max-seconds", "900"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
        try:
            with h.display() as disp:
                wine = h.Wine(tree, os.path.join(tree.build, "bench-wineprefix"), disp)
                wine.env["WINEDEBUG"] = "-all,warn+debugstr,+timestamp"
                wine.run("cmd", "/c", "exit", timeout=600)
                prefix = h.Prefix(wine)
                prefix.clean()
                run = h.Run(wine)
                run.drive("wait", "60000")
                peaks = []
                import threading
                watcher = threading.Thread(target=peak_rss_kib, args=("vantrel.exe", run.proc, peaks))
                watcher.start()
                run.drive("click", "1004")
                code = run.wait(600)
                watcher.join()
                wine.run("taskkill", "/f", "/im", h.EXE_NAME)
                lines = stamped(run.output)
                if os.environ.get("VANTREL_BENCH_DEBUG"):
                    print(run.output[:3000])
        finally:
            nginx.terminate()
            nginx.wait()
        if code != 0 or not any(l == "online_log status 7" for _, l in lines):
            sys.exit("install bench: the installation did not complete")
        t = {}
        for s, l in lines:
            t.setdefault(l, s)
        start = t["online_log status 2"]
        s4, s6, s7 = t["online_log status 4"], t["online_log status 6"], t["online_log status 7"]
        after6 = [(s, l) for s, l in lines if s >= s6 and l.startswith("online_log progress ")]
        unpack_end = max(s for s, l in after6 if l == "online_log progress 100")
        reading = [l for s, l in after6 if 1 <= int(l.split()[-1]) <= 50]
        writing = [l for s, l in after6 if int(l.split()[-1]) > 50]
        sleeps = 0.020 * len(reading) + 0.010 * len(writing)
        download = s6 - s4
        unpack = unpack_end - s6
        rest = (s4 - start) + (s7 - unpack_end)
        total = s7 - start

        # The peer: curl of the same package from the same nginx, then the
        # packer's own extraction.
        nginx = subprocess.Popen([sys.executable, tree.server.replace("http_test_server.py", "nginx_server.py"),
                                  "--root", www, "--port", str(tree.port), "--max-seconds", "900"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.0)
        try:
            t0 = time.monotonic()
            subprocess.run(["curl", "-s", "-o", os.path.join(work, "peer.pkg"),
                            f"{tree.download_server}/packages/game.pkg"], check=True)
            t1 = time.monotonic()
        finally:
            nginx.terminate()
            nginx.wait()
        subprocess.run([tree.pack, "extract", os.path.join(work, "peer.pkg"), os.path.join(work, "peer")],
                       check=True, capture_output=True)
        t2 = time.monotonic()
        peer = t2 - t0
        print(f"package: {pkg_size / 1048576:.1f} MiB, {args.mib} data files")
        print(f"vantrel: press install -> status 7 {total:.2f} s: download {download:.2f} s, "
              f"unpack {unpack:.2f} s (of which fixed progress sleeps {sleeps:.2f} s), rest {rest:.2f} s")
        print(f"vantrel: peak working set {peaks[0] / 1024:.1f} MiB")
        print(f"peer: curl {t1 - t0:.2f} s + vantrel-pack extract {t2 - t1:.2f} s = {peer:.2f} s")
        mine = total - sleeps
        print(f"installation without the progress sleeps {mine:.2f} s")
        print(f"install vs curl+extract: {peer / mine:.2f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
