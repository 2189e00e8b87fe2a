#!/usr/bin/env python3
"""Builds the worker tests' game: a small tree holding the stand-in game
program and an uninstall folder, and its package made by the project's packer.

usage: make_game_package.py FAKE_GAME_EXE TREE_DIR PACKAGE PACK_COMMAND...

PACK_COMMAND is run with PACKAGE and TREE_DIR appended.
"""
import os
import random
import shutil
import subprocess
import sys


def main():
    fake_game, tree, package, pack = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    shutil.rmtree(tree, ignore_errors=True)
    rng = random.Random(20261211)
    files = {
        "game.exe": open(fake_game, "rb").read(),
        # Large enough that the download takes several blocks.
        "data/a.dat": bytes(rng.getrandbits(8) for _ in range(300 * 1024)),
        "data/empty.txt": b"",
        "uninstall/uninst.exe": b"MZ stand-in uninstaller",
    }
    for rel, data in files.items():
        path = os.path.join(tree, *rel.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if os.path.exists(package):
        os.remove(package)
    if not os.access(pack[0], os.X_OK):
        sys.exit(f"{pack[0]}: no packer here; build vantrel-pack in the native tree "
                 "or point VANTREL_NATIVE_PACK at it")
    subprocess.run(pack + [package, tree], check=True)


if __name__ == "__main__":
    main()
