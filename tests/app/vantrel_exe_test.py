"""The installer as a player starts it, under Wine: a second copy, unusable
manifests and DLLs planted beside the executable."""

import argparse
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ui"))
import vantrel_exe as vx  # noqa: E402

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


def second_copy_is_refused(wine, exe, server):
    server.serve_manifest(vx.manifest())
    first = wine.start(exe)
    lines, rc = wine.drive("wait", 30000)
    check(rc == 0, "first copy shows its window")
    second = wine.start(exe)
    lines, rc = wine.drive("box", 20000)
    check(lines == ["box caption=提示 text=应用程序已经在运行！ icon=error"], "second copy's box: %r" % lines)
    wine.drive("ok")
    rc2, _ = vx.finish(second)
    check(rc2 == 0, "second copy exits with 0 (%d)" % rc2)
    lines, _ = wine.drive("state")
    check(lines == ["window visible"], "first copy undisturbed")
    wine.drive("click", 1001, "waitgone", 10000)
    rc1, _ = vx.finish(first)
    check(rc1 == 0, "closing page 0 exits with 0 (%d)" % rc1)


def unusable_manifest_shows_no_window(wine, exe, server):
    cases = [
        ("missing manifest", None),
        ("size missing", vx.manifest(size="")),
        ("size negative", vx.manifest(size="size=-1")),
        ("game name too long for the default path", vx.manifest(game="g" * 242)),
    ]
    for name, data in cases:
        server.serve_manifest(data)
        proc = wine.start(exe)
        seen = []
        # The fetch may show its own error first; the last box is the manifest's.
        for _ in range(3):
            lines, rc = wine.drive("box", 20000, "state")
            if rc != 0 and lines[:1] == ["nobox"]:
                break
            seen.append(lines)
            wine.drive("ok")
            if lines[0].startswith("box caption=退出"):
                break
        check(bool(seen) and seen[-1] == ["box caption=退出 text=无法连接网络 icon=none", "window hidden"],
              "%s: boxes %r" % (name, seen))
        rc, _ = vx.finish(proc)
        check(rc == 0, "%s: exit code 0 (%d)" % (name, rc))


def planted_dlls_are_never_loaded(wine, exe, canary, server):
    names = ["msimg32.dll", "wininet.dll", "comctl32.dll", "gdiplus.dll", "winmm.dll", "windowscodecs.dll"]
    folder = tempfile.mkdtemp(prefix="vantrel-downloads-", dir="/tmp")
    try:
        planted_exe = os.path.join(folder, "vantrel.exe")
        shutil.copy(exe, planted_exe)
        for n in names:
            shutil.copy(canary, os.path.join(folder, n))
        # The canary works: loading it by path leaves its mark.
        control = os.path.join(folder, "control.dll")
        shutil.copy(canary, control)
        wine.drive()  # warm prefix
        import subprocess
        subprocess.run([wine.wine_run, "rundll32", "Z:" + control.replace("/", "\\") + ",Touch"], capture_output=True,
                       timeout=60)
        check(os.path.exists(control + ".loaded"), "canary records being loaded")

        server.serve_manifest(vx.manifest())
        proc = wine.start(planted_exe)
        lines, rc = wine.drive("wait", 30000, "click", 1006, "click", 1010)
        check(rc == 0, "window shown and painted beside the planted DLLs")
        # Starting the install brings WinINet into play too; the update list is missing, so it ends with status 0.
        wine.drive("click", 1004, "box", 20000, "ok", "waitgone", 20000)
        rc, output = vx.finish(proc)
        check(rc == 0, "installer exits with 0 (%d)" % rc)
        loaded = [n for n in names if os.path.exists(os.path.join(folder, n + ".loaded"))]
        check(loaded == [], "no planted DLL was loaded: %r" % loaded)
        check("/update/list.txt" in server.requests(), "the download client ran")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser()
    for a in ("--wine-run", "--exe", "--driver", "--canary", "--server"):
        ap.add_argument(a, required=True)
    args = ap.parse_args()
    vx.ensure_display()
    wine = vx.Wine(args.wine_run, args.driver)
    server = vx.Server(args.server)
    try:
        second_copy_is_refused(wine, args.exe, server)
        unusable_manifest_shows_no_window(wine, args.exe, server)
        planted_dlls_are_never_loaded(wine, args.exe, args.canary, server)
    finally:
        server.stop()
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
