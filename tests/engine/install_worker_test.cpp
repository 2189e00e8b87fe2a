// Whole runs of the install worker against the project's test server, with
// packages made by the project's packer.
#include "engine/install_worker.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/install_task.h"
#include "engine/install_thread.h"
#include "engine/package_digest.h"
#include "tests/engine/package_fixture.h"
#include "tests/engine/recording_host.h"
#include "tests/engine/wine_fixture.h"

namespace {

const WorkerLimits kQuick = [] {
  WorkerLimits l;
  l.downloadAttempts = 3;
  l.retryPauseMs = 20;
  l.closeGameTimeoutMs = 2000;
  return l;
}();

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
  return s;
}

std::string Sha256Hex(const std::string& bytes);

// One installation's world: its web folder <server>/w/<name>/, a manifest
// whose [config] points at the list there, and a fresh install directory.
struct InstallRun {
  std::string name;
  std::string web;  // Windows path of the web folder
  std::string url;  // its address
  std::string installDir;
  RecordingHost host;
  InstallTask task;
  HWND window = nullptr;

  explicit InstallRun(const std::string& caseName) : name(caseName) {
    web = WebRoot() + "\\w\\" + name + "\\";
    url = ServerBase() + "/w/" + name;
    installDir = FreshDir("install-" + name);
    window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    task.host = &host;
    task.hwnd = window;
    snprintf(task.installDir, sizeof task.installDir, "%s", installDir.c_str());
    snprintf(task.gameName, sizeof task.gameName, "VantrelEngineTest-%s", name.c_str());
    snprintf(task.exeFileName, sizeof task.exeFileName, "game.exe");
    snprintf(task.uninstName, sizeof task.uninstName, "uninst.exe");
    snprintf(task.publisher, sizeof task.publisher, "Corvel");
    snprintf(task.contact, sizeof task.contact, "help@example.test");
    snprintf(task.productTitle, sizeof task.productTitle, "Vantrel Engine Test %s", name.c_str());
    Config("1.0=" + url + "/list.txt\r\n");
  }
  ~InstallRun() {
    if (window) DestroyWindow(window);
  }

  // The manifest's [config] lines.
  void Config(const std::string& lines) {
    std::string dir = FreshDir("manifest-" + name);
    task.manifestPath = dir + "vantrel.txt";
    WriteBytes(task.manifestPath, "[setup]\r\ngamename=x\r\nsize=1\r\n[config]\r\n" + lines);
  }
  // [list0] lines; {url} stands for the web folder's address.
  void List(const std::string& lines) { WriteBytes(web + "list.txt", "[list0]\r\n" + Replace(lines, "{url}", url)); }
  void Package(const std::string& bytes = GamePackage()) { WriteBytes(web + "game.pkg", bytes); }
  std::string StandardList(const std::string& extra = "") {
    return "action=3\r\nsrcfile={url}/game.pkg\r\ndestfile=game.pkg\r\ncmd=DEC\r\n" + extra;
  }

  void Install(const WorkerLimits& limits = kQuick) { RunInstallWith(task, limits); }
  std::string Box() {
    auto boxes = host.Boxes();
    return boxes.size() == 1 ? boxes[0] : "<" + std::to_string(boxes.size()) + " boxes>";
  }
  // Requests the server saw for a path below the web folder.
  int Requests(const std::string& file) {
    std::string log = ReadBytes(WinePath(Env("VANTREL_TEST_LOG")));
    std::string needle = "GET /w/" + name + "/" + file;
    int n = 0;
    for (size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1)) ++n;
    return n;
  }
};

// The progress values posted after each status, in order.
struct Phase {
  int status;
  std::vector<int> progress;
};
std::vector<Phase> Phases(RecordingHost& host) {
  std::vector<Phase> phases;
  for (const auto& e : host.Events()) {
    if (e.box) continue;
    if (e.message == WM_INSTALL_STATUS)
      phases.push_back({static_cast<int>(e.value), {}});
    else if (!phases.empty())
      phases.back().progress.push_back(static_cast<int>(e.value));
  }
  return phases;
}

bool RunsFromZeroToHundred(const std::vector<int>& p) {
  if (p.empty() || p.front() != 0 || p.back() != 100) return false;
  for (size_t i = 1; i < p.size(); ++i)
    if (p[i] < p[i - 1]) return false;
  return true;
}

std::string KnownFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
  return path;
}

bool WaitForFile(const std::string& path, int ms) {
  for (int waited = 0; waited < ms; waited += 50) {
    if (Exists(path)) return true;
    Sleep(50);
  }
  return Exists(path);
}

}  // namespace

TEST(InstallWorker, MainRoadInstallsRegistersAndStartsTheGame) {
  ASSERT_FALSE(ServerBase().empty()) << "run beside the test server";
  InstallRun run("main");
  run.Package();
  run.List(run.StandardList());
  // Left by an earlier installation of the same game.
  std::string menu = KnownFolder(CSIDL_PROGRAMS) + "\\" + run.task.gameName + "\\";
  std::string commonMenu = KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\" + run.task.gameName + "\\";
  WriteBytes(menu + "stale.txt", "old");
  WriteBytes(commonMenu + "stale.txt", "old");
  run.Install();

  EXPECT_TRUE(run.host.Boxes().empty()) << run.Box();
  auto phases = Phases(run.host);
  ASSERT_EQ(phases.size(), 4u) << run.host.Trace();
  EXPECT_EQ(phases[0].status, STATUS_READING_CONFIG);
  EXPECT_TRUE(RunsFromZeroToHundred(phases[0].progress)) << run.host.Trace();  // the list
  EXPECT_EQ(phases[1].status, STATUS_DOWNLOADING);
  EXPECT_TRUE(RunsFromZeroToHundred(phases[1].progress)) << run.host.Trace();  // the package
  EXPECT_EQ(phases[2].status, STATUS_INSTALLING);
  EXPECT_TRUE(RunsFromZeroToHundred(phases[2].progress)) << run.host.Trace();  // unpacking
  EXPECT_EQ(phases[3].status, STATUS_COMPLETE);
  EXPECT_TRUE(phases[3].progress.empty());

  ASSERT_GE(GameTree().size(), 4u);
  for (const auto& f : GameTree()) EXPECT_TRUE(ReadBytes(run.installDir + f.path) == f.bytes) << f.path;
  EXPECT_FALSE(Exists(run.installDir + "game.pkg"));

  // Keys in their order, in section [config].
  std::string ini = ReadBytes(run.installDir + "uninstall\\uninstall.ini");
  std::string expected = "[config]\r\nsetupdir=" + run.installDir + "\r\ngamename=" + run.task.gameName +
                         "\r\nshortcutname=game\r\nProductTitle=" + run.task.productTitle + "\r\nOnlineType=0\r\n";
  EXPECT_EQ(ini, expected);

  // Started from the install directory, which it inherits as its own.
  ASSERT_TRUE(WaitForFile(run.installDir + "launched.txt", 10000));
  std::string cwd = ReadBytes(run.installDir + "launched.txt");
  EXPECT_EQ(cwd + "\\", run.installDir);

  // The registration and the link set under the names derived from the manifest.
  HKEY key = nullptr;
  std::string sub = std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + run.task.gameName;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  char value[1024] = {};
  DWORD size = sizeof value;
  RegQueryValueExA(key, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  EXPECT_EQ(std::string(value), "\"" + run.installDir + "uninstall\\uninst.exe\" \"/U:" + run.installDir +
                                    "uninstall\\uninstall.ini\"");
  EXPECT_TRUE(Exists(KnownFolder(CSIDL_DESKTOPDIRECTORY) + "\\game.lnk"));
  EXPECT_TRUE(Exists(menu + "game.lnk"));
  EXPECT_FALSE(Exists(menu + "stale.txt"));
  EXPECT_FALSE(Exists(commonMenu));
  EXPECT_TRUE(Exists(menu + "game\xd0\xb6\xd4\xd8.lnk"));  // "卸载" in GBK
}

TEST(InstallWorker, FailuresShowTheirTextThenEnd) {
  static const struct {
    const char* name;
    const char* config;  // manifest [config]; empty: the list in the web folder
    const char* list;
    const char* box;
    std::vector<int> statuses;
  } cases[] = {
      {"nourl", "1.0=\r\nother=\r\n", "", "从文件中,获取版本对应的更新URL错误.", {2, 0}},
      {"noaction", "", "srcfile={url}/game.pkg\r\n", "解析更新列表文件错误.", {2, 0}},
      {"nocmd", "", "action=1\r\n", "解析更新列表文件错误,动作有命令但命令为空.", {2, 0}},
      {"nosrc", "", "action=2\r\ndestfile=game.pkg\r\n", "解析更新列表文件错误,动作为下载文件但文件路径为空.", {2, 0}},
      {"nodest", "", "action=3\r\nsrcfile={url}/game.pkg\r\ncmd=DEC\r\n",
       "解析更新列表文件错误,动作为下载文件但文件路径为空.", {2, 0}},
      {"lowercase", "", "action=3\r\nsrcfile={url}/game.pkg\r\ndestfile=game.pkg\r\ncmd=dec\r\n", "未知的命令参数",
       {2, 4, 6, 0}},
      {"gone", "", "action=3\r\nsrcfile={url}/missing.pkg\r\ndestfile=game.pkg\r\ncmd=DEC\r\n",
       "网络连接中断，请重新下载.", {2, 4, 0}},
      {"nopackage", "", "action=1\r\ndestfile=game.pkg\r\ncmd=DEC\r\n", "解压文件失败", {2, 6, 0}},
      {"badsha", "", "action=3\r\nsrcfile={url}/game.pkg\r\ndestfile=game.pkg\r\ncmd=DEC\r\nsha256=12ab\r\n",
       "解析更新列表文件错误.", {2, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run(c.name);
    if (c.config[0]) run.Config(c.config);
    run.Package();
    run.List(c.list);
    run.Install();
    EXPECT_EQ(run.Box(), c.box);
    EXPECT_EQ(run.host.Statuses(), c.statuses) << run.host.Trace();
    auto events = run.host.Events();
    // The box comes right before the final status, owned by the window.
    ASSERT_GE(events.size(), 2u);
    EXPECT_TRUE(events[events.size() - 2].box) << run.host.Trace();
    EXPECT_EQ(events[events.size() - 2].caption, "错误");
    EXPECT_EQ(events[events.size() - 2].owner, run.window);
    EXPECT_EQ(events[events.size() - 2].type, static_cast<UINT>(MB_OK));
  }
}

TEST(InstallWorker, TextsAreGbkBytes) {
  InstallRun run("gbk");
  run.List("srcfile=x\r\n");
  run.Install();
  EXPECT_EQ(Hex(run.Box()), "bde2cef6b8fcd0c2c1d0b1edcec4bcfeb4edcef32e");  // 解析更新列表文件错误.
}

TEST(InstallWorker, UnreadablePackageIsDeleted) {
  InstallRun run("garbage");
  run.Package(std::string(4096, 'x'));
  run.List(run.StandardList());
  run.Install();
  EXPECT_EQ(run.Box(), "解压文件失败");
  EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 4, 6, 0}));
  EXPECT_FALSE(Exists(run.installDir + "game.pkg"));
  EXPECT_FALSE(Exists(run.installDir + "uninstall\\uninstall.ini"));
}

TEST(InstallWorker, UnreachableListLeavesTheReportToTheFetch) {
  InstallRun run("nolist");
  run.Config("1.0=http://127.0.0.1:1/list.txt\r\n");
  run.Install();
  // One box and one status 0, both from the fetch.
  EXPECT_EQ(run.host.Boxes().size(), 1u);
  EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 0}));
}

TEST(InstallWorker, GameThatCannotStartKeepsTheInstallation) {
  InstallRun run("nogame");
  snprintf(run.task.exeFileName, sizeof run.task.exeFileName, "absent.exe");
  run.Package();
  run.List(run.StandardList());
  run.Install();
  std::string box = run.Box();
  EXPECT_EQ(box.rfind("找不到" + run.installDir + "absent.exe文件.", 0), 0u) << box;
  EXPECT_NE(box.find(" 错误号:"), std::string::npos) << box;
  EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 4, 6, 0}));
  EXPECT_TRUE(Exists(run.installDir + "game.exe"));
  EXPECT_EQ(Profile(run.installDir + "uninstall\\uninstall.ini", "config", "shortcutname"), "absent");
}

TEST(InstallWorker, PathsTooLongAreRefusedBeforeTheDownload) {
  InstallRun run("longexe");
  // Fits the manifest's buffer, not the install directory joined to it.
  snprintf(run.task.exeFileName, sizeof run.task.exeFileName, "%s.exe", std::string(250, 'e').c_str());
  run.Package();
  run.List(run.StandardList());
  run.Install();
  EXPECT_EQ(run.Box(), "安装路径过长,请选择较短的安装目录.");
  EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 0}));
  EXPECT_EQ(run.Requests("game.pkg"), 0);
}

TEST(InstallWorker, ActionsWithoutTheFullRoad) {
  static const struct {
    const char* name;
    const char* list;
    bool packageBeforehand;  // lies in the install directory already
    std::vector<int> statuses;
    bool packageAfterwards;
    bool installed;
    int downloads;
  } cases[] = {
      {"action0", "action=0\r\nsrcfile={url}/game.pkg\r\ndestfile=game.pkg\r\ncmd=DEC\r\n", false, {2, 6}, false,
       false, 0},
      {"action2", "action=2\r\nsrcfile={url}/game.pkg\r\ndestfile=game.pkg\r\n", false, {2, 4, 6}, true, false, 1},
      {"action1", "action=1\r\ndestfile=game.pkg\r\ncmd=DEC\r\n", true, {2, 6, 7}, false, true, 0},
      {"action4", "action=4\r\nsrcfile={url}/game.pkg\r\ndestfile=game.pkg\r\ncmd=DEC\r\n", false, {2, 6}, false,
       false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run(c.name);
    run.Package();
    if (c.packageBeforehand) WriteBytes(run.installDir + "game.pkg", GamePackage());
    run.List(c.list);
    run.Install();
    EXPECT_TRUE(run.host.Boxes().empty()) << run.Box();
    EXPECT_EQ(run.host.Statuses(), c.statuses) << run.host.Trace();
    EXPECT_EQ(Exists(run.installDir + "game.pkg"), c.packageAfterwards);
    if (c.packageAfterwards) {
      EXPECT_EQ(ReadBytes(run.installDir + "game.pkg"), GamePackage());
    }
    EXPECT_EQ(Exists(run.installDir + "game.exe"), c.installed);
    EXPECT_EQ(run.Requests("game.pkg"), c.downloads);
  }
}

TEST(InstallWorker, VersionKeyBeforeCatchAll) {
  static const struct {
    const char* name;
    const char* config;
  } cases[] = {
      {"both", "1.0={url}/list.txt\r\nother=http://127.0.0.1:1/other.txt\r\n"},
      {"onlyother", "1.0=\r\nother={url}/list.txt\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run(c.name);
    run.Config(Replace(c.config, "{url}", run.url));
    run.List("action=0\r\n");
    run.Install();
    EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 6})) << run.host.Trace();
    EXPECT_EQ(run.Requests("list.txt"), 1);
  }
}

TEST(InstallWorker, InterruptedDownloadContinues) {
  InstallRun run("drops");
  run.Package();
  // The first two transfers are cut after 50000 bytes each; the third finishes.
  run.List("action=3\r\nsrcfile={url}/game.pkg?drop_after=50000&times=2\r\ndestfile=game.pkg\r\ncmd=DEC\r\n");
  auto start = std::chrono::steady_clock::now();
  run.Install(WorkerLimits());  // the product's 500 ms pauses
  auto elapsed = std::chrono::steady_clock::now() - start;

  EXPECT_TRUE(run.host.Boxes().empty()) << run.Box();
  EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 4, 6, 7}));
  EXPECT_EQ(run.Requests("game.pkg"), 3);
  EXPECT_GE(elapsed, std::chrono::milliseconds(1000));
  auto phases = Phases(run.host);
  ASSERT_EQ(phases.size(), 4u);
  const auto& download = phases[1].progress;
  EXPECT_EQ(std::count(download.begin(), download.end(), 0), 1) << run.host.Trace();  // only the first attempt resets
  EXPECT_EQ(download.back(), 100);
  EXPECT_TRUE(Exists(run.installDir + "game.exe"));
}

TEST(InstallWorker, CancelDuringDownloadEndsWithoutABox) {
  InstallRun run("cancel");
  run.Package();
  run.List("action=3\r\nsrcfile={url}/game.pkg?pace_ms=30&chunk=4096\r\ndestfile=game.pkg\r\ncmd=DEC\r\n");
  std::atomic<bool> downloading{false};
  run.host.onPost = [&](UINT message, LPARAM value) {
    if (message == WM_INSTALL_STATUS && value == STATUS_DOWNLOADING) downloading = true;
    if (message == WM_INSTALL_PROGRESS && downloading && value > 0) run.task.cancel = true;
  };
  run.Install();
  EXPECT_TRUE(run.host.Boxes().empty()) << run.Box();
  EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 4, 0}));
  // The partial file stays for a later run to continue.
  std::string partial = ReadBytes(run.installDir + "game.pkg");
  EXPECT_GT(partial.size(), 0u);
  EXPECT_LT(partial.size(), GamePackage().size());
  EXPECT_EQ(partial, GamePackage().substr(0, partial.size()));
}

TEST(InstallWorker, CancelAfterTheListEndsTheProgram) {
  static const struct {
    const char* name;
    const char* list;
    const char* trace;
  } cases[] = {
      // The fetch posts 100 for its one block and again when it has finished;
      // the cancel comes between that and the worker's test.
      {"cancellist", "action=3\r\nsrcfile={url}/game.pkg\r\ndestfile=game.pkg\r\ncmd=DEC\r\n", "S2 P0 P100 P100 S0"},
      {"cancelnothing", "action=0\r\n", "S2 P0 P100 P100 S6"},  // nothing to do comes before the cancel test
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run(c.name);
    run.List(c.list);
    int hundreds = 0;
    run.host.onPost = [&](UINT message, LPARAM value) {
      if (message == WM_INSTALL_PROGRESS && value == 100 && ++hundreds == 2) run.task.cancel = true;
    };
    run.Install();
    EXPECT_EQ(run.host.Trace(), c.trace);
    EXPECT_EQ(run.Requests("game.pkg"), 0);
  }
}

TEST(PackageDigest, KnownVectors) {
  static const struct {
    std::string bytes;
    const char* sha256;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    std::string path = FreshDir("vectors") + "bytes";
    WriteBytes(path, c.bytes);
    std::string hex;
    ASSERT_TRUE(Sha256OfFile(path.c_str(), hex));
    EXPECT_EQ(hex, c.sha256) << c.bytes.size();
  }
  std::string hex;
  EXPECT_FALSE(Sha256OfFile((FreshDir("vectors") + "absent").c_str(), hex));
}

TEST(InstallWorker, PackageCheckedBeforeUnpacking) {
  const std::string pkg = GamePackage();
  const std::string size = std::to_string(pkg.size());
  const std::string sha = Sha256Hex(pkg);
  const std::string otherSha = Sha256Hex(pkg + "x");
  static const struct {
    const char* name;
    int which;  // 0 both right, 1 wrong hash, 2 wrong size, 3 upper-case hash, 4 size only
  } cases[] = {{"checkok", 0}, {"checksha", 1}, {"checksize", 2}, {"checkupper", 3}, {"checksizeonly", 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string keys;
    switch (c.which) {
      case 0: keys = "size=" + size + "\r\nsha256=" + sha + "\r\n"; break;
      case 1: keys = "size=" + size + "\r\nsha256=" + otherSha + "\r\n"; break;
      case 2: keys = "size=" + std::to_string(pkg.size() + 1) + "\r\nsha256=" + sha + "\r\n"; break;
      case 3: {
        std::string upper = sha;
        for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        keys = "sha256=" + upper + "\r\n";
        break;
      }
      case 4: keys = "size=" + size + "\r\n"; break;
    }
    bool good = c.which == 0 || c.which == 3 || c.which == 4;
    InstallRun run(c.name);
    run.Package();
    run.List(run.StandardList(keys));
    WorkerLimits limits = kQuick;
    limits.downloadAttempts = 100;  // the check gives up first
    run.Install(limits);
    if (good) {
      EXPECT_TRUE(run.host.Boxes().empty()) << run.Box();
      EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 4, 6, 7}));
      EXPECT_EQ(run.Requests("game.pkg"), 1);
      continue;
    }
    EXPECT_EQ(run.Box(), "安装包校验失败,文件已损坏,请重新下载.");
    EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 4, 0}));
    EXPECT_EQ(run.Requests("game.pkg"), 3);
    // Nothing of it was unpacked, and the damaged file is gone.
    EXPECT_FALSE(Exists(run.installDir + "game.pkg"));
    EXPECT_FALSE(Exists(run.installDir + "game.exe"));
    // Every attempt starts the file afresh, and the bar with it.
    auto phases = Phases(run.host);
    ASSERT_EQ(phases.size(), 3u);
    EXPECT_EQ(std::count(phases[1].progress.begin(), phases[1].progress.end(), 0), 3) << run.host.Trace();
  }
}

TEST(InstallWorker, StalePartialFileIsReplacedWhenTheCheckFails) {
  InstallRun run("stale");
  const std::string pkg = GamePackage();
  run.Package();
  // Left by an earlier download of another package: the same length, other bytes.
  WriteBytes(run.installDir + "game.pkg", std::string(pkg.size(), 'z'));
  run.List(run.StandardList("size=" + std::to_string(pkg.size()) + "\r\nsha256=" + Sha256Hex(pkg) + "\r\n"));
  run.Install();
  EXPECT_TRUE(run.host.Boxes().empty()) << run.Box();
  EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 4, 6, 7}));
  EXPECT_EQ(ReadBytes(run.installDir + "game.exe"), GameTree()[0].bytes);
}

namespace {

// A top-level window with the given title on a thread of its own, as the
// running game would have. It notes whether the package's program file
// existed when it was asked to close.
class GameWindow {
 public:
  GameWindow(const std::string& title, const std::string& watched) : title_(title), watched_(watched) {
    thread_ = std::thread([this] { Loop(); });
    while (!ready_) Sleep(10);
  }
  ~GameWindow() {
    PostMessageA(hwnd_, WM_USER, 0, 0);
    thread_.join();
  }
  bool closed() const { return closed_; }
  bool fileExistedAtClose() const { return fileAtClose_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<GameWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_CLOSE) {
      self->fileAtClose_ = Exists(self->watched_);
      self->closed_ = true;
      return 0;  // a game would save and exit; staying keeps the test simple
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  void Loop() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VantrelEngineTestGame";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, title_.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ready_ = true;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == WM_USER) break;
      DispatchMessageA(&msg);
    }
    DestroyWindow(hwnd_);
  }

  std::string title_;
  std::string watched_;
  std::thread thread_;
  HWND hwnd_ = nullptr;
  std::atomic<bool> ready_{false};
  std::atomic<bool> closed_{false};
  std::atomic<bool> fileAtClose_{false};
};

}  // namespace

TEST(InstallWorker, RunningGameIsAskedToCloseFirst) {
  static const struct {
    const char* name;
    const char* productTitle;
    const char* windowTitle;
    bool asked;
  } cases[] = {
      {"closegame", "Vantrel Engine Running Game", "Vantrel Engine Running Game", true},
      {"othergame", "Vantrel Engine Running Game", "Vantrel Engine Running Game 2", false},
      {"notitle", "", "", false},  // an empty title would match any untitled window
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    InstallRun run(c.name);
    snprintf(run.task.productTitle, sizeof run.task.productTitle, "%s", c.productTitle);
    run.Package();
    run.List(run.StandardList());
    GameWindow game(c.windowTitle, run.installDir + "game.exe");
    run.Install();
    EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 4, 6, 7}));
    EXPECT_EQ(game.closed(), c.asked);
    if (c.asked) {
      EXPECT_FALSE(game.fileExistedAtClose());
    }
  }
}

TEST(InstallWorker, BeginInstallThreadPreparesAndStartsTheWorker) {
  InstallRun run("thread");
  run.List("action=0\r\n");
  std::string nested = run.installDir + "a\\b\\c\\";
  run.task.cancel = true;  // left over: a new installation starts afresh
  run.task.hwnd = nullptr;
  BeginInstallThread(run.task, run.window, nested.c_str());
  ASSERT_NE(run.task.thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(run.task.thread, 30000), WAIT_OBJECT_0);
  CloseHandle(run.task.thread);
  EXPECT_EQ(run.task.hwnd, run.window);
  EXPECT_STREQ(run.task.installDir, nested.c_str());
  EXPECT_TRUE(Exists(nested));
  EXPECT_EQ(run.host.Statuses(), (std::vector<int>{2, 6})) << run.host.Trace();
}

namespace {

std::string Sha256Hex(const std::string& bytes) {
  std::string path = FreshDir("sha") + "bytes";
  WriteBytes(path, bytes);
  std::string hex;
  EXPECT_TRUE(Sha256OfFile(path.c_str(), hex));
  return hex;
}

}  // namespace
