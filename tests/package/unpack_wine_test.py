#!/usr/bin/env python3
"""vantrel-unpack.exe under Wine on packages made elsewhere: by vantrel-pack
(OpenSSL inside) from a real tree, and hostile ones forged by package_writer.py.

usage: unpack_wine_test.py --pack VANTREL_PACK --unpack VANTREL_UNPACK_EXE --wine-run WINE_RUN
Exit 77 (skipped) when the native vantrel-pack has not been built.
"""
import argparse
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import package_writer  # noqa: E402

ARGS = None
GAME = "\u6e38\u620f".encode("gbk")   # two GBK characters, trail bytes above 0x7F
DATA = "\u6570\u636e".encode("gbk")


def win(path):
    path = os.fsencode(os.path.abspath(path))
    return b"Z:" + path.replace(b"/", b"\\")


def lower_ascii(name):
    return bytes(c + 32 if 0x41 <= c <= 0x5A else c for c in name)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def percent(done, total):
    return (done // 1024) * 100 // (total // 1024) if total >= 1024 else done * 100 // total


def expected_posts(body, written, reads=None):
    """The posting rules: reading 0..25, deciphering 25..50, writing 50..100."""
    posts, last, total = [], 25, 0
    for r in (reads if reads is not None else ([body] if body else [])):
        total += r
        value = percent(total, body) // 4
        if value != last:
            posts.append(value)
            last = value
    posts.append(25)
    for i in range(body // 16):
        value = percent(16 * i, body) // 4 + 25
        if value != last:
            posts.append(value)
            last = value
    posts.append(50)
    last = 50
    for w in range(written):
        value = 50 + 50 * w // written
        if value != last:
            posts.append(value)
            last = value
    return posts + [100]


def unpack(package, dest):
    run = subprocess.run([ARGS.wine_run, ARGS.unpack, win(package), win(dest)],
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
    lines = run.stdout.decode("latin-1").split()
    return run.returncode, [int(x) for x in lines if x.lstrip("-").isdigit()], run.stdout


def snapshot(root):
    found = set()
    for base, dirs, files in os.walk(root):
        for n in dirs + files:
            found.add(os.path.relpath(os.path.join(base, n), root))
    return found


class UnpackUnderWine(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="vantrel-unpack-")
        self.addCleanup(shutil.rmtree, self.scratch, True)

    def path(self, *parts):
        return os.path.join(self.scratch.encode(), *[p if isinstance(p, bytes) else p.encode() for p in parts])

    def test_packed_tree_unpacks_byte_identical(self):
        tree = self.path("src", "Game")
        files = {
            b"bin/Game.EXE": b"MZ" + os.urandom(3000),
            b"empty.dat": b"",
            GAME + b"/" + DATA + b"/" + DATA + b".bin": os.urandom(5000),
            GAME + b"/readme.txt": b"\xc4\xe3\xba\xc3\r\n",
            b"Data/Big/10MiB.pak": os.urandom(10 * 1024 * 1024),
        }
        for rel, data in files.items():
            os.makedirs(os.path.dirname(os.path.join(tree, rel)), exist_ok=True)
            with open(os.path.join(tree, rel), "wb") as f:
                f.write(data)
        package = self.path("game.pkg")
        subprocess.run([ARGS.pack, "create", package, tree], check=True, stdout=subprocess.DEVNULL)
        dest = self.path("install")
        rc, posts, out = unpack(package, dest)
        self.assertEqual(rc, 0, out)
        # Wine shows the GBK (code page 936) names to Linux as UTF-8.
        unpacked = {}
        for base, _, names in os.walk(dest):
            for n in names:
                full = os.path.join(base, n)
                unpacked[os.path.relpath(full, dest)] = read(full)
        want = {lower_ascii(rel).decode("gbk").encode("utf-8"): data for rel, data in files.items()}
        self.assertEqual(sorted(unpacked), sorted(want))
        for rel, data in want.items():
            self.assertTrue(unpacked[rel] == data, rel)
        body = os.path.getsize(package) - 8
        self.assertEqual(posts[-len(expected_posts(body, 5)) + 1:], expected_posts(body, 5)[1:])

    def test_four_entries_post_62_75_87_100(self):
        package = self.path("four.pkg")
        with open(package, "wb") as f:
            f.write(package_writer.build([(b"G\\a", b"1"), (b"G\\b", b"2"), (b"G\\c\\d", b"3"), (b"G\\e", b"")]))
        rc, posts, out = unpack(package, self.path("dest"))
        self.assertEqual(rc, 0, out)
        body = os.path.getsize(package) - 8  # 1088 bytes: whole KiB
        self.assertEqual(posts, expected_posts(body, 4))
        self.assertEqual(posts[-4:], [62, 75, 87, 100])

    def test_read_only_target_is_overwritten(self):
        dest = self.path("dest")
        os.makedirs(dest)
        target = os.path.join(dest, b"cfg.ini")
        with open(target, "wb") as f:
            f.write(b"old settings, longer than the new ones")
        os.chmod(target, 0o444)
        package = self.path("dest", "p.pkg")
        with open(package, "wb") as f:
            f.write(package_writer.build([(b"Game\\CFG.ini", b"new")]))
        rc, posts, out = unpack(package, dest)
        self.assertEqual(rc, 0, out)
        self.assertEqual(read(target), b"new")
        self.assertTrue(os.stat(target).st_mode & stat.S_IWUSR)
        self.assertEqual(posts[-1], 100)

    def test_hostile_packages_write_nothing_and_return_1(self):
        good = (b"Game\\keep.txt", b"keep")
        real = package_writer.build([good, (b"Game\\sub\\x.bin", os.urandom(100))])
        body_len = len(real) - 8
        cases = {
            "dot-dot": package_writer.build([good, (b"Game\\..\\..\\evil.txt", b"evil")]),
            "slash dot-dot": package_writer.build([good, (b"Game\\a/../../evil.txt", b"evil")]),
            "drive": package_writer.build([good, (b"Game\\Z:\\tmp\\evil.txt", b"evil")]),
            "stream": package_writer.build([good, (b"Game\\keep.txt:evil", b"evil")]),
            "device": package_writer.build([good, (b"Game\\NUL.txt", b"evil")]),
            "trailing dot": package_writer.build([good, (b"Game\\evil.txt.", b"evil")]),
            "offset past body": package_writer.build([good, (b"Game\\x", b"", body_len + 64, 1)]),
            "size past body": package_writer.build([good, (b"Game\\x", b"", 16, 0xFFFFFFF8)]),
            "count past records": package_writer.build([good], count=3),
            "truncated by a block": real[:-16],
            "truncated mid-block": real[:-5],
            "header only, wrong size": real[:8] + b"\0" * 3,
            "shorter than a header": real[:5],
        }
        drive_c = os.path.join(os.path.dirname(ARGS.wine_run), "wineprefix", "drive_c")
        before_c = set(os.listdir(drive_c)) if os.path.isdir(drive_c) else set()
        for what, data in cases.items():
            with self.subTest(what):
                room = self.path(what.replace(" ", "_"))
                os.makedirs(room)
                package = os.path.join(room, b"p.pkg")
                with open(package, "wb") as f:
                    f.write(data)
                before = snapshot(self.scratch)
                rc, posts, out = unpack(package, os.path.join(room, b"a", b"b", b"dest"))
                self.assertEqual(rc, 1, out)
                self.assertNotIn(100, posts)
                self.assertEqual(snapshot(self.scratch), before)
        self.assertFalse(os.path.exists("/tmp/evil.txt"))
        if os.path.isdir(drive_c):
            self.assertEqual(set(os.listdir(drive_c)), before_c)

    def test_package_path_longer_than_1023_bytes_is_refused(self):
        dest = self.path("d")
        os.makedirs(dest)
        # 1023 bytes fit the reader's buffer; the unpack tool names the package
        # relative to the destination, so deep "x\..\" runs make the path long.
        package = os.path.join(dest, b"p.pkg")
        with open(package, "wb") as f:
            f.write(package_writer.build([(b"G\\a", b"1")]))
        rc, _, out = unpack(package, dest)
        self.assertEqual(rc, 0, out)
        long_dest = os.path.join(dest, b"n" * 200, b"n" * 200, b"n" * 200, b"n" * 200, b"n" * 200, b"..")
        rc, posts, out = unpack(package, long_dest)
        self.assertEqual(rc, 1, out)
        self.assertEqual(posts, [])


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--pack", required=True)
    parser.add_argument("--unpack", required=True)
    parser.add_argument("--wine-run", required=True)
    ARGS, rest = parser.parse_known_args()
    if not os.access(ARGS.pack, os.X_OK):
        print("skipped: %s is not built (build the native tree first)" % ARGS.pack)
        return 77
    result = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
