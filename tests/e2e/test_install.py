"""vantrel.exe as a player meets it: real window, real server, real prefix."""

import os
import re
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "package"))
import harness as h  # noqa: E402
import package_writer  # noqa: E402  (tampered packages, enciphered by openssl)

INSTALL = 1004
CANCEL = 1000
WM_QUIT = 18
BOX_WAIT = "60000"


def write_ini(path, sections):
    with open(path, "wb") as f:
        for name, keys in sections:
            f.write(f"[{name}]\r\n".encode("gbk"))
            for k, v in keys:
                f.write(f"{k}={v}\r\n".encode("gbk"))


class Installation(unittest.TestCase):
    """One published game; each test starts the installer against it."""

    extra_bytes = 3 * 1024 * 1024

    @classmethod
    def setUpClass(cls):
        cls.tree = h.Tree()
        cls.work = tempfile.mkdtemp(prefix="vantrel-e2e-")
        cls.game = h.make_game_tree(cls.tree, os.path.join(cls.work, "game"), cls.extra_bytes)
        cls.www = h.publish(cls.tree, cls.game, os.path.join(cls.work, "www"))
        cls.manifest = os.path.join(cls.www, "update", "vantrel.txt")
        cls.list = os.path.join(cls.www, "update", "list1.0.txt")
        cls.original_list = dict(h.read_ini(cls.list)[0][1])
        with open(cls.manifest, "rb") as f:
            cls.original_manifest = f.read()
        cls.display_cm = h.display()
        cls.disp = cls.display_cm.__enter__()
        cls.wine = h.Wine(cls.tree, os.environ.get("VANTREL_E2E_PREFIX") or os.path.join(cls.tree.build, "e2e-wineprefix"),
                         cls.disp)
        cls.wine.run("cmd", "/c", "exit", timeout=300)  # creates the prefix on first use
        cls.prefix = h.Prefix(cls.wine)
        cls.shots = os.path.join(cls.tree.build, "e2e-screenshots")
        os.makedirs(cls.shots, exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        cls.display_cm.__exit__(None, None, None)
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        self.prefix.clean()
        self.wine.run("taskkill", "/f", "/im", h.EXE_NAME)
        self.set_list()
        with open(self.manifest, "wb") as f:
            f.write(self.original_manifest)
        self.server = h.Server(self.tree, self.www).__enter__()

    def tearDown(self):
        self.wine.run("taskkill", "/f", "/im", h.EXE_NAME)
        self.wine.run("taskkill", "/f", "/im", "vantrel.exe")
        self.server.__exit__(None, None, None)

    # -- helpers -----------------------------------------------------------

    def set_list(self, **changes):
        keys = dict(self.original_list)
        for k, v in changes.items():
            if v is None:
                keys.pop(k, None)
            else:
                keys[k] = v
        write_ini(self.list, [("list0", list(keys.items()))])

    def start(self):
        run = h.Run(self.wine)
        out, code = run.drive("wait", "60000")
        self.assertIn("window visible", out)
        return run

    def install(self):
        run = self.start()
        out, code = run.drive("click", str(INSTALL))
        if code != 0 and not out and self.install_button_shown(run):
            # Now and then Wine ends the driver with 1 before it has printed
            # a line; the button still on show says the click never arrived.
            print(f"driver exit {code} without output, before the click; clicking again", file=sys.stderr)
            out, code = run.drive("click", str(INSTALL))
        if code != 0:
            state, _ = run.drive("state")
            finished = run.proc.poll()
            self.fail(f"driver exit {code}, output {out!r}; then {state.strip()!r}, installer exit {finished}")
        return run

    def install_button_shown(self, run):
        out, code = run.drive("visible")
        shown = [int(v) for v in out.split()[1:] if v.isdigit()] if out.startswith("visible") else []
        return code == 0 and INSTALL in shown

    def package_requests(self):
        return [r for r in self.server.requests() if b"/packages/" in r.split(b"\r\n", 1)[0]]

    def expect_error_box(self, run, text):
        out, _ = run.drive("box", BOX_WAIT, "ok")
        self.assertIn("box caption=错误 text=" + text, out)
        self.assertEqual(run.wait(60), 0)
        self.assertEqual(run.statuses()[-1], 0)

    def end_window(self, run):
        run.drive("post", str(WM_QUIT), "0", "0")
        return run.wait(60)

    def files_outside_install_dir(self, since):
        """Files newer than `since` anywhere on drive C except the game's places."""
        found = []
        base = os.path.join(self.wine.prefix, "drive_c")
        skip = (self.prefix.install_dir, os.path.join(base, "windows"), os.path.join(base, "users"),
                os.path.join(base, "ProgramData"))
        for dirpath, dirs, files in os.walk(base):
            if dirpath.startswith(skip):
                dirs[:] = []
                continue
            for name in files:
                p = os.path.join(dirpath, name)
                if os.path.getmtime(p) >= since:
                    found.append(p)
        return found


class MainRoad(Installation):
    def test_whole_installation(self):
        run = self.install()
        time.sleep(0.5)
        h.screenshot(self.disp, os.path.join(self.shots, "installing.png"))
        self.assertEqual(run.wait(180), 0, run.output[-2000:])

        self.assertEqual(run.statuses(), [2, 4, 6, 7])
        progress = run.progresses()
        self.assertEqual(progress[-1], 100)
        after6 = progress[len(progress) - 1 - progress[::-1].index(0):]
        self.assertEqual(after6, sorted(after6), "unpacking progress runs upward")
        self.assertIn(25, after6)
        self.assertIn(50, after6)

        installed = h.tree_digest(self.prefix.install_dir)
        for rel, digest in h.tree_digest(self.game).items():
            self.assertEqual(installed.get(rel), digest, rel)
        self.assertFalse(os.path.exists(os.path.join(self.prefix.install_dir, "game.pkg")))

        d = "C:\\Program Files\\" + h.GAME_NAME + "\\"
        self.assertEqual(h.read_ini(os.path.join(self.prefix.install_dir, "uninstall", "uninstall.ini")),
                         [("config", [("setupdir", d), ("gamename", h.GAME_NAME), ("shortcutname", "game"),
                                      ("ProductTitle", h.PRODUCT_TITLE), ("OnlineType", "0")])])
        self.assertEqual(h.read_ini(os.path.join(self.prefix.install_dir, "wbConfig.ini")),
                         [("WBID", [("ID", "1")]), ("WBURL", [("URL", self.tree.portal_server)]),
                          ("Area", [("AreaID", "18")])])

        reg = self.prefix.registry()
        self.assertIsNotNone(reg)
        uninst = d + "uninstall\\" + h.UNINST_NAME
        self.assertEqual(reg["DisplayName"], ("REG_SZ", h.GAME_NAME))
        self.assertEqual(reg["UninstallString"], ("REG_SZ", f'"{uninst}" "/U:{d}uninstall\\uninstall.ini"'))
        self.assertEqual(reg["DisplayIcon"], ("REG_SZ", f'"{uninst}"'))
        self.assertEqual(reg["NoModify"][0], "REG_DWORD")

        self.assertTrue(os.path.isfile(os.path.join(self.prefix.desktop, "game.lnk")))
        folder = os.path.join(self.prefix.programs, h.GAME_NAME)
        self.assertEqual(sorted(os.listdir(folder)), ["game.lnk", "game卸载.lnk"])
        self.assertFalse(os.path.exists(os.path.join(self.prefix.common_programs, h.GAME_NAME)))

        with open(os.path.join(self.prefix.install_dir, "started.txt"), "rb") as f:
            started = f.read().decode("gbk", "replace")
        self.assertIn(h.GAME_NAME, started, "the game runs in the install directory")
        self.assertIn("GET /Game/GameUninstall.aspx?params=0&action=1 HTTP/1.1", self.server.request_lines())

    def test_second_installation_replaces_links_and_folder(self):
        self.assertEqual(self.install().wait(180), 0)
        folder = os.path.join(self.prefix.programs, h.GAME_NAME)
        stray = os.path.join(folder, "old.lnk")
        open(stray, "wb").close()
        link = os.path.join(self.prefix.desktop, "game.lnk")
        first = os.path.getmtime(link)
        time.sleep(1.1)
        self.wine.run("taskkill", "/f", "/im", h.EXE_NAME)
        self.assertEqual(self.install().wait(180), 0)
        self.assertGreater(os.path.getmtime(link), first)
        self.assertEqual(sorted(os.listdir(folder)), ["game.lnk", "game卸载.lnk"])

    def test_running_game_is_closed_before_unpacking(self):
        game_dir = os.path.join(self.work, "running")
        shutil.copytree(self.game, game_dir, dirs_exist_ok=True)
        game = self.wine.start(os.path.join(game_dir, h.EXE_NAME))
        try:
            time.sleep(3)
            self.assertEqual(self.install().wait(180), 0)
            game.wait(30)
        finally:
            if game.poll() is None:
                game.kill()
        with open(os.path.join(game_dir, "started.txt"), "rb") as f:
            log = f.read().decode("gbk", "replace")
        self.assertRegex(log, r"(?i)clos")


class Failures(Installation):
    extra_bytes = 0

    def test_update_list_rows(self):
        rows = [
            ({"action": None}, "解析更新列表文件错误."),
            ({"action": "1", "cmd": ""}, "解析更新列表文件错误,动作有命令但命令为空."),
            ({"action": "2", "srcfile": ""}, "解析更新列表文件错误,动作为下载文件但文件路径为空."),
            ({"action": "3", "destfile": ""}, "解析更新列表文件错误,动作为下载文件但文件路径为空."),
            ({"cmd": "dec"}, "未知的命令参数"),
            ({"action": "1"}, "解压文件失败"),
        ]
        for changes, text in rows:
            with self.subTest(changes=changes):
                self.prefix.clean()
                self.set_list(**changes)
                self.expect_error_box(self.install(), text)

    def test_manifest_without_update_list_address(self):
        with open(self.manifest, "wb") as f:
            f.write(self.original_manifest.split(b"[config]")[0])
        self.expect_error_box(self.install(), "从文件中,获取版本对应的更新URL错误.")

    def test_game_program_missing(self):
        with open(self.manifest, "wb") as f:
            f.write(self.original_manifest.replace(b"exefilename=game.exe", b"exefilename=nogame.exe"))
        run = self.install()
        out, _ = run.drive("box", BOX_WAIT, "ok")
        self.assertRegex(out, r"box caption=错误 text=找不到.*nogame\.exe.*文件\. 错误号:\d+")
        self.assertEqual(run.wait(60), 0)
        self.assertNotIn("GET /Game/GameUninstall.aspx?params=0&action=1 HTTP/1.1", self.server.request_lines())

    def test_action_zero_and_two_stay_on_progress_page(self):
        for action, downloads in (("0", False), ("2", True)):
            with self.subTest(action=action):
                self.prefix.clean()
                self.set_list(action=action)
                run = self.install()
                time.sleep(4)
                self.assertEqual(self.end_window(run), 0)
                self.assertEqual(run.statuses()[-1], 6)
                pkg = os.path.join(self.prefix.install_dir, "game.pkg")
                self.assertEqual(os.path.exists(pkg), downloads)
                self.assertFalse(os.path.exists(os.path.join(self.prefix.install_dir, "game.exe")))

    def test_hostile_package_refused_whole(self):
        since = time.time() - 1
        bad = package_writer.build([(b"top\\ok.txt", b"fine"), (b"top\\..\\..\\escaped.txt", b"evil")])
        with open(os.path.join(self.www, "packages", "evil.pkg"), "wb") as f:
            f.write(bad)
        self.set_list(srcfile=self.original_list["srcfile"].replace("game.pkg", "evil.pkg"), destfile="evil.pkg",
                      size=None, sha256=None)
        self.expect_error_box(self.install(), "解压文件失败")
        self.assertFalse(os.path.exists(os.path.join(self.prefix.install_dir, "ok.txt")))
        self.assertEqual(self.files_outside_install_dir(since), [])

    def test_hostile_destination_stays_inside(self):
        since = time.time() - 1
        self.set_list(destfile="..\\..\\escaped.pkg")
        self.expect_error_box(self.install(), "解析更新列表文件错误,文件路径无效.")
        self.assertEqual(self.files_outside_install_dir(since), [])


class NetworkFaults(Installation):
    extra_bytes = 2 * 1024 * 1024

    def slow(self, query):
        self.set_list(srcfile=self.original_list["srcfile"] + "?" + query)

    def test_dropped_twice_then_served(self):
        self.slow("drop_after=300000&times=2")
        run = self.install()
        self.assertEqual(run.wait(240), 0, run.output[-2000:])
        reqs = self.package_requests()
        self.assertEqual(len(reqs), 3)
        ranges = [int(re.search(rb"Range: bytes=(\d+)-", r).group(1)) for r in reqs]
        self.assertEqual(ranges[0], 0)
        self.assertTrue(ranges[0] < ranges[1] < ranges[2], ranges)
        p = run.progresses()
        s4 = run.debug().index("online_log status 4")
        download = [int(l.split()[-1]) for l in run.debug()[s4:] if l.startswith("online_log progress ")]
        download = download[:download.index(100) + 1]
        self.assertEqual(download.count(0), 1, "the bar is reset only by the first attempt")
        self.assertEqual(run.statuses(), [2, 4, 6, 7])
        self.assertTrue(p)

    def test_cancel_keeps_partial_file(self):
        self.slow("pace_ms=100")
        run = self.install()
        pkg = os.path.join(self.prefix.install_dir, "game.pkg")
        for _ in range(100):
            if os.path.exists(pkg) and os.path.getsize(pkg) > 0:
                break
            time.sleep(0.1)
        run.drive("click", str(CANCEL))
        out, _ = run.drive("nobox", "3000")
        self.assertIn("nobox", out)
        self.assertEqual(run.wait(60), 0)
        self.assertEqual(run.statuses()[-1], 0)
        self.assertGreater(os.path.getsize(pkg), 0)

    def test_killed_halfway_then_resumed(self):
        self.slow("pace_ms=100&times=1")
        run = self.install()
        pkg = os.path.join(self.prefix.install_dir, "game.pkg")
        for _ in range(100):
            if os.path.exists(pkg) and os.path.getsize(pkg) >= 256 * 1024:
                break
            time.sleep(0.1)
        self.wine.run("taskkill", "/f", "/im", "vantrel.exe")
        run.wait(60)
        partial = os.path.getsize(pkg)
        total = os.path.getsize(os.path.join(self.www, "packages", "game.pkg"))
        self.assertLess(partial, total)
        second = self.install()
        self.assertEqual(second.wait(240), 0, second.output[-2000:])
        last = self.package_requests()[-1]
        self.assertIn(b"Range: bytes=%d-" % partial, last)
        self.assertTrue(os.path.isfile(os.path.join(self.prefix.install_dir, h.EXE_NAME)))


class Uninstall(Installation):
    extra_bytes = 0

    def test_uninstaller_from_registry_leaves_nothing(self):
        sibling = os.path.join(os.path.dirname(self.prefix.install_dir), "星海传说2")
        os.makedirs(sibling, exist_ok=True)
        with open(os.path.join(sibling, "keep.txt"), "wb") as f:
            f.write(b"not the game's")
        self.assertEqual(self.install().wait(180), 0)
        self.wine.run("taskkill", "/f", "/im", h.EXE_NAME)
        command = self.prefix.registry()["UninstallString"][1]
        m = re.fullmatch(r'"([^"]+)" "(/U:[^"]+)"', command)
        self.assertIsNotNone(m, command)
        self.wine.run(m.group(1), m.group(2), "/S", timeout=120)
        for _ in range(300):
            if not os.path.exists(self.prefix.install_dir):
                break
            time.sleep(0.1)
        self.assertFalse(os.path.exists(self.prefix.install_dir))
        self.assertIsNone(self.prefix.registry())
        self.assertFalse(os.path.exists(os.path.join(self.prefix.desktop, "game.lnk")))
        self.assertFalse(os.path.exists(os.path.join(self.prefix.programs, h.GAME_NAME)))
        with open(os.path.join(sibling, "keep.txt"), "rb") as f:
            self.assertEqual(f.read(), b"not the game's")
        shutil.rmtree(sibling)


if __name__ == "__main__":
    unittest.main(verbosity=2)
