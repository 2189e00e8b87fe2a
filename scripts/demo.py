#!/usr/bin/env python3
"""Publishes a demo game, serves it on loopback and lets vantrel.exe install it.

Run through scripts/demo, which builds what this needs first.
"""

import argparse
import os
import re
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "e2e"))
import harness as h  # noqa: E402


def section(title):
    print(f"\n== {title}", flush=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--tree", required=True, help="Windows build tree that runs here")
    ap.add_argument("--native", required=True, help="native build tree (vantrel-pack)")
    ap.add_argument("--out", required=True, help="folder for the web root, the prefix and the screenshots")
    args = ap.parse_args()

    tree = h.Tree(os.path.abspath(args.tree), os.path.abspath(args.native))
    out = os.path.abspath(args.out)
    shots = os.path.join(out, "screenshots")
    for d in ("game", "www"):
        shutil.rmtree(os.path.join(out, d), ignore_errors=True)
    os.makedirs(shots, exist_ok=True)

    section("publishing the demo game")
    game = h.make_game_tree(tree, os.path.join(out, "game"), extra_bytes=8 * 1024 * 1024)
    www = h.publish(tree, game, os.path.join(out, "www"))
    for rel in ("update/vantrel.txt", "update/list1.0.txt"):
        print(f"-- {rel}")
        with open(os.path.join(www, rel), "rb") as f:
            print(f.read().decode("gbk").rstrip())
    if not h.port_free(tree.port):
        sys.exit(f"demo: port {tree.port} (the installer's configured download server) is busy")

    with h.display() as disp, h.Server(tree, www) as server:
        print(f"serving {www} at {tree.download_server}")
        wine = h.Wine(tree, os.path.join(out, "wineprefix"), disp)
        wine.run("cmd", "/c", "exit", timeout=600)
        prefix = h.Prefix(wine)
        prefix.clean()

        section(f"running {os.path.relpath(tree.vantrel, h.ROOT)} under Wine (display {disp})")
        run = h.Run(wine)
        print(run.drive("wait", "60000")[0].strip())
        time.sleep(0.5)
        h.screenshot(disp, os.path.join(shots, "page0-welcome.png"))
        run.drive("click", "1006")
        time.sleep(0.5)
        h.screenshot(disp, os.path.join(shots, "page1-custom.png"))
        run.drive("click", "1010")
        print(run.drive("click", "1004")[0].strip(), "(立即安装)")
        time.sleep(0.7)
        h.screenshot(disp, os.path.join(shots, "page2-progress.png"))
        code = run.wait(300)
        print(f"vantrel.exe exit code {code}")
        print("statuses seen by the window:", run.statuses())

        section(f"installed tree: {prefix.install_dir}")
        for dirpath, dirs, files in sorted(os.walk(prefix.install_dir)):
            dirs.sort()
            for name in sorted(files):
                p = os.path.join(dirpath, name)
                print(f"  {os.path.relpath(p, prefix.install_dir):40} {os.path.getsize(p):>10} bytes")
        section("uninstall registry entry")
        print(wine.run("reg", "query", prefix.uninstall_key)[1].strip())
        section("shortcuts")
        for p in (os.path.join(prefix.desktop, "game.lnk"), os.path.join(prefix.programs, h.GAME_NAME)):
            if os.path.isdir(p):
                for name in sorted(os.listdir(p)):
                    print(f"  {os.path.join(p, name)}")
            else:
                print(f"  {p}{'' if os.path.exists(p) else ' (missing)'}")
        for ini in ("wbConfig.ini", os.path.join("uninstall", "uninstall.ini")):
            section(ini)
            with open(os.path.join(prefix.install_dir, ini), "rb") as f:
                print(f.read().decode("gbk").rstrip())
        section("the game was started")
        with open(os.path.join(prefix.install_dir, "started.txt"), "rb") as f:
            print(f.read().decode("gbk", "replace").rstrip())
        section("requests the servers received")
        for line in server.request_lines():
            print(" ", line)
        told = any("/Game/GameUninstall.aspx?params=0&action=1" in l for l in server.request_lines())
        print("the portal was told" if told else "the portal was NOT told")
        removed = uninstall(wine, prefix)
        wine.run("taskkill", "/f", "/im", h.EXE_NAME)
        section(f"screenshots in {shots}")
        for name in sorted(os.listdir(shots)):
            print(" ", name)
        wine.kill()
    ok = code == 0 and told and run.statuses()[-1:] == [7]
    print("\ndemo: " + ("a complete installation" if ok else "the installation did NOT complete"))
    if removed is not None:
        print("demo: " + ("the uninstaller removed it again" if removed else "the uninstaller left something behind"))
    return 0 if ok else 1


def uninstall(wine, prefix):
    """Runs the entry's UninstallString the way the control panel would, silently."""
    reg = prefix.registry()
    command = reg and reg.get("UninstallString", (None, ""))[1]
    m = re.fullmatch(r'"([^"]+)" "(/U:[^"]+)"', command or "")
    if not m:
        print("no uninstall command to run")
        return None
    section(f"uninstalling: {command} /S")
    code = wine.run(m.group(1), m.group(2), "/S", timeout=120)[0]
    print(f"uninstaller exit code {code} (it continues from a copy in the temporary folder)")
    for _ in range(300):
        if not os.path.exists(prefix.install_dir) and prefix.registry() is None:
            break
        time.sleep(0.1)
    left = [p for p in (prefix.install_dir, os.path.join(prefix.desktop, "game.lnk"),
                        os.path.join(prefix.programs, h.GAME_NAME)) if os.path.exists(p)]
    if prefix.registry() is not None:
        left.append(prefix.uninstall_key)
    for p in left:
        print(f"  still there: {p}")
    if not left:
        print("  install directory, shortcuts and uninstall entry are gone")
    return not left


if __name__ == "__main__":
    sys.exit(main())
