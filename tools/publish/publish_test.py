#!/usr/bin/env python3
"""Publishes a small game tree and checks the web root the installer will read.

usage: publish_test.py PUBLISH PACK
"""
import hashlib
import os
import subprocess
import sys
import tempfile
import unittest

PUBLISH = PACK = None

GAME_NAME = "星海"  # GBK, like the real games' names
FILES = {
    "game.exe": b"MZ" + bytes(range(256)) * 4,
    "data/a.dat": os.urandom(3000),
    "data/empty.txt": b"",
    "uninstall/uninst.exe": b"MZ uninstaller",
}


def read_ini(data):
    """Sections as ordered (key, value) lists, from GBK bytes with CRLF lines."""
    text = data.decode("gbk")
    assert "\r\n" in text and "\n" not in text.replace("\r\n", ""), "lines must end in CRLF"
    sections, current = {}, None
    for line in text.split("\r\n"):
        if line.startswith("["):
            current = sections.setdefault(line.strip("[]"), [])
        elif "=" in line:
            k, v = line.split("=", 1)
            current.append((k, v))
    return sections


class Publish(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="publish-test-")
        self.game = os.path.join(self.tmp.name, "game")
        for rel, data in FILES.items():
            path = os.path.join(self.game, *rel.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        self.out = os.path.join(self.tmp.name, "www")

    def tearDown(self):
        self.tmp.cleanup()

    def publish(self, *extra, gamename=GAME_NAME, exe="game.exe"):
        args = [PUBLISH, "--game", self.game, "--out", self.out, "--base-url", "http://dl.example.test/",
                "--gamename", gamename, "--exefilename", exe, "--pack", PACK, *extra]
        return subprocess.run(args, capture_output=True, text=True)

    def read(self, rel):
        with open(os.path.join(self.out, *rel.split("/")), "rb") as f:
            return f.read()

    def test_web_root_holds_manifest_list_and_package(self):
        run = self.publish("--product-title", "星海 Online", "--uninstname", "uninst.exe", "--publisher", "Corvel",
                           "--contact", "help@example.test", "--url-agreement", "http://www.example.test/eula")
        self.assertEqual(run.returncode, 0, run.stderr)

        manifest = self.read("update/vantrel.txt")
        self.assertIn(GAME_NAME.encode("gbk"), manifest)
        ini = read_ini(manifest)
        self.assertEqual(ini["setup"], [
            ("gamename", GAME_NAME), ("exefilename", "game.exe"), ("ProductTitle", "星海 Online"), ("size", "1"),
            ("urlAgreement", "http://www.example.test/eula"), ("uninstname", "uninst.exe"),
            ("Publisher", "Corvel"), ("Contact", "help@example.test")])
        self.assertEqual(ini["config"], [("1.0", "http://dl.example.test/update/list1.0.txt")])

        package = self.read("packages/game.pkg")
        listed = read_ini(self.read("update/list1.0.txt"))["list0"]
        self.assertEqual(listed, [
            ("action", "3"), ("srcfile", "http://dl.example.test/packages/game.pkg"), ("destfile", "game.pkg"),
            ("cmd", "DEC"), ("size", str(len(package))), ("sha256", hashlib.sha256(package).hexdigest())])
        # The package holds the tree below one top folder, which the installer drops.
        listing = subprocess.run([PACK, "list", os.path.join(self.out, "packages", "game.pkg")],
                                 capture_output=True, check=True).stdout
        entries = {}
        for line in listing.decode("gbk").splitlines():
            _, size, name = line.split(None, 2)
            entries[name.split("\\", 1)[1]] = int(size)
        self.assertEqual(entries, {rel.replace("/", "\\"): len(data) for rel, data in FILES.items()})

    def test_size_and_package_name_can_be_given(self):
        run = self.publish("--size-mb", "1500", "--package", "star-1.2.pkg", "--uninstname", "uninst.exe")
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn(("size", "1500"), read_ini(self.read("update/vantrel.txt"))["setup"])
        listed = dict(read_ini(self.read("update/list1.0.txt"))["list0"])
        self.assertEqual(listed["destfile"], "star-1.2.pkg")
        self.assertTrue(listed["srcfile"].endswith("/packages/star-1.2.pkg"))
        self.assertTrue(os.path.isfile(os.path.join(self.out, "packages", "star-1.2.pkg")))

    def test_refuses_what_the_installer_cannot_use(self):
        cases = [
            ("missing program", dict(exe="absent.exe"), [], "absent.exe"),
            ("missing uninstaller", {}, ["--uninstname", "gone.exe"], "gone.exe"),
            ("name outside GBK", dict(gamename="Game \U0001F3AE"), [], "GBK"),
            ("name too long", dict(gamename="名" * 121), [], "241"),  # 242 bytes in GBK
            ("empty name", dict(gamename=""), [], "empty"),
            ("name with a folder", dict(gamename="a\\b"), [], "names a folder"),
            ("line break", {}, ["--publisher", "a\nb"], "line break"),
            ("https", {}, ["--base-url", "https://dl.example.test"], "http://"),
            ("negative size", {}, ["--size-mb", "-1"], "negative"),
            ("package in a folder", {}, ["--package", "a/b.pkg"], "plain file name"),
        ]
        for name, kwargs, extra, message in cases:
            with self.subTest(name):
                run = self.publish(*extra, **kwargs)
                self.assertEqual(run.returncode, 1, run.stdout)
                self.assertIn(message, run.stderr)
                self.assertFalse(os.path.exists(os.path.join(self.out, "update", "vantrel.txt")))

    def test_usage_text(self):
        run = subprocess.run([PUBLISH, "--help"], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0)
        for word in ("--game", "--out", "--base-url", "--gamename", "--exefilename", "example"):
            self.assertIn(word, run.stdout)


if __name__ == "__main__":
    PUBLISH, PACK = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1])
