// Layout, pages and commands of the real main window.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "tests/ui/window_fixture.h"
#include "ui/common_controls.h"
#include "ui/main_window.h"

namespace {

std::string ClassOf(HWND control) {
  char name[64] = {};
  GetClassNameA(control, name, sizeof name);
  return name;
}

}  // namespace

TEST_F(WindowTest, BuildsEveryControlWhereTheLayoutPutsIt) {
  ASSERT_TRUE(CreateDefault());
  static const struct {
    int id;
    const char* cls;
    DWORD style;
    int x, y, w, h;
    int hand;  // -1: not a skinned button
  } controls[] = {
      {IDC_CLOSE, "Button", 0x50000000, 408, 0, 46, 32, 0},
      {IDC_MINIMIZE, "Button", 0x50000000, 361, 0, 47, 32, 0},
      {IDC_INSTALL, "Button", 0x50000000, 163, 209, 150, 58, 1},
      {IDC_AGREEMENT, "Button", 0x50000000, 126, 289, 47, 12, 1},
      {IDC_CUSTOM, "Button", 0x50000000, 358, 289, 71, 12, 1},
      {IDC_AGREE, "Button", 0x50000003, 24, 289, 13, 13, -1},
      {IDC_CHANGE, "Button", 0x50000000, 370, 94, 70, 34, 1},
      {IDC_RESTORE_DEFAULT, "Button", 0x50000000, 339, 157, 86, 17, 1},
      {IDC_BACK, "Button", 0x50000000, 393, 289, 34, 12, 1},
      {IDC_PATH, "Edit", 0x50000004, 106, 98, 250, 20, -1},
      {IDC_CANCEL_INSTALL, "Button", 0x50000000, 384, 289, 47, 12, 1},
      {IDC_PROGRESS, "msctls_progress32", 0x50000001, 18, 259, 419, 19, -1},
  };
  const CWINButton* buttons[] = {&window->btnClose,  &window->btnMinimize, &window->btnInstall,
                                 &window->btnAgreement, &window->btnCustom, nullptr,
                                 &window->btnChange, &window->btnRestoreDefault, &window->btnBack,
                                 nullptr,            &window->btnCancel,   nullptr};
  // Creation order is the z order among siblings, except that a skinned
  // button is raised when its picture is applied.
  int n = 0;
  for (const auto& c : controls) {
    HWND control = GetDlgItem(hwnd, c.id);
    ASSERT_NE(control, nullptr) << c.id;
    EXPECT_STRCASEEQ(ClassOf(control).c_str(), c.cls) << c.id;
    DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    // Skinned buttons become owner-drawn when attached; page hiding clears WS_VISIBLE.
    DWORD expected = c.style | (c.hand >= 0 ? BS_OWNERDRAW : 0);
    EXPECT_EQ(style & ~WS_VISIBLE, expected & ~WS_VISIBLE) << c.id;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, c.x) << c.id;
    EXPECT_EQ(r.top, c.y) << c.id;
    EXPECT_EQ(r.right - r.left, c.w) << c.id;
    EXPECT_EQ(r.bottom - r.top, c.h) << c.id;
    if (c.hand >= 0) {
      ASSERT_NE(buttons[n], nullptr);
      EXPECT_EQ(buttons[n]->m_hWnd, control) << c.id;
      EXPECT_EQ(buttons[n]->m_bHandCursor, c.hand == 1) << c.id;
      EXPECT_TRUE(buttons[n]->m_bHasImage) << c.id;
    }
    ++n;
  }
  EXPECT_EQ(SendMessageA(window->hwndProgress, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageA(window->hwndProgress, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_AGREE), BST_CHECKED);
  EXPECT_EQ(window->statusRect.left, 18);
  EXPECT_EQ(window->statusRect.bottom, 247);
  EXPECT_EQ(window->percentRect.left, 300);
  EXPECT_EQ(window->percentRect.right, 436);
}

TEST_F(WindowTest, PathFieldUsesTheLayoutFontAndACentredLine) {
  ASSERT_TRUE(CreateDefault());
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(window->hwndPath, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTA lf = {};
  GetObjectA(font, sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, 14);
  EXPECT_EQ(lf.lfWidth, 7);
  EXPECT_EQ(lf.lfWeight, 400);
  EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
  EXPECT_EQ(lf.lfPitchAndFamily, FIXED_PITCH | FF_MODERN);
  EXPECT_STREQ(lf.lfFaceName, "宋体");

  // The line is moved down by half the room the edit's own DC font leaves.
  HDC dc = GetDC(window->hwndPath);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  ReleaseDC(window->hwndPath, dc);
  RECT rect = {};
  SendMessageA(window->hwndPath, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
  EXPECT_EQ(rect.top, (20 - tm.tmExternalLeading - tm.tmHeight) / 2);
}

TEST_F(WindowTest, DefaultPathAndFiguresComeFromTheManifest) {
  ASSERT_TRUE(CreateDefault());
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  std::string expected = std::string(system, 3) + "Program Files\\星辰之门\\";
  EXPECT_EQ(std::string(window->paths.defaultPath), expected);
  EXPECT_EQ(std::string(window->paths.installPath), expected);
  EXPECT_EQ(FieldText(), expected);
  EXPECT_EQ(window->requiredKB, 1536 * 1024);
  EXPECT_GE(window->paths.freeKB, 0);
  EXPECT_NEAR(window->paths.freeKB, GetFreeSpaceKB(expected.c_str()), 1 << 20);  // the disk is in use
  EXPECT_FALSE(window->paths.pathInvalid);
  // 259 minus the name's length (8 GBK bytes) can be typed.
  EXPECT_EQ(SendMessageA(window->hwndPath, EM_GETLIMITTEXT, 0, 0), 259 - 8);
  EXPECT_TRUE(host.Boxes().empty());

  // Placed centred at the background's size, still hidden until Create shows it.
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.right - r.left, 455);
  EXPECT_EQ(r.bottom - r.top, 325);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 455) >> 1);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 325) >> 1);
  EXPECT_FALSE(IsWindowVisible(hwnd));  // the test creates without WS_VISIBLE
}

TEST_F(WindowTest, UsableManifestsBuildThePages) {
  static const struct {
    const char* name;
    std::string game;
    const char* size;
    int requiredKB;
  } cases[] = {
      {"size 0", "Game", "size=0", 0},
      {"size 1", "Game", "size=1", 1024},
      {"longest name that fits", std::string(241, 'g'), "size=2", 2048},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(CreateWindowWith(Manifest(c.game, c.size)));
    EXPECT_EQ(window->requiredKB, c.requiredKB);
    EXPECT_EQ(strlen(window->paths.defaultPath), 3 + 14 + c.game.size() + 1);
    EXPECT_TRUE(host.Boxes().empty());
    TearDown();
    hwnd = nullptr;
  }
}

TEST_F(WindowTest, UnusableManifestEndsBeforeTheWindowIsShown) {
  static const struct {
    const char* name;
    std::string manifest;
  } cases[] = {
      {"size missing", Manifest("Game", "")},
      {"size negative", Manifest("Game", "size=-1")},
      // Would not fit the default path; must not be cut into another folder.
      {"name too long for the default path", Manifest(std::string(242, 'g'), "size=1")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.Clear();
    EXPECT_FALSE(CreateWindowWith(c.manifest));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    auto boxes = host.Boxes();
    ASSERT_FALSE(boxes.empty());
    const RecordedBox& last = boxes.back();
    EXPECT_EQ(last.text, "无法连接网络");
    EXPECT_EQ(last.caption, "退出");
    EXPECT_EQ(last.type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(last.owner, hwnd);
    EXPECT_TRUE(Pump()) << "quit message posted";
    TearDown();
    hwnd = nullptr;
  }
}

TEST_F(WindowTest, MissingManifestEndsBeforeTheWindowIsShown) {
  ASSERT_TRUE(InitCommonControlsAtRunTime());
  DeleteFileA((ServerRoot() + "\\update\\vantrel.txt").c_str());
  window = std::make_unique<MainWindow>(GetModuleHandleA(nullptr));
  window->task.host = &host;
  std::string server = ServerUrl();
  window->downloadServer = server.c_str();
  EXPECT_FALSE(window->Create("VantrelTestWindow", "VantrelTestWindow", WS_VISIBLE, {0, 0, 455, 325}));
  hwnd = window->hwnd;
  EXPECT_FALSE(IsWindowVisible(hwnd));
  auto boxes = host.Boxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, "无法连接网络");
  EXPECT_EQ(boxes.back().caption, "退出");
  EXPECT_TRUE(Pump());
}

TEST_F(WindowTest, PagesShowTheirOwnControls) {
  ASSERT_TRUE(CreateDefault());
  const std::vector<int> page0 = {1001, 1003, 1004, 1005, 1006, 1007};
  const std::vector<int> page1 = {1001, 1003, 1004, 1008, 1009, 1010, 1011};
  EXPECT_EQ(VisibleControls(), page0);
  Command(IDC_CUSTOM);
  EXPECT_EQ(window->page, 1);
  EXPECT_EQ(VisibleControls(), page1);
  Command(IDC_BACK);
  EXPECT_EQ(window->page, 0);
  EXPECT_EQ(VisibleControls(), page0);

  window->slideIndex = 3;
  window->page = 2;
  window->ShowPage();
  EXPECT_EQ(VisibleControls(), (std::vector<int>{1000, 1001, 1002, 1003}));
  EXPECT_EQ(window->slideIndex, 0);  // every entry restarts the slideshow
}

TEST_F(WindowTest, AgreementGatesBothWaysForward) {
  ASSERT_TRUE(CreateDefault());
  auto enabled = [&] {
    return std::make_pair(IsWindowEnabled(window->btnInstall.m_hWnd) != FALSE,
                          IsWindowEnabled(window->btnCustom.m_hWnd) != FALSE);
  };
  EXPECT_EQ(enabled(), std::make_pair(true, true));
  SendMessageA(window->hwndAgree, BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_AGREE), BST_UNCHECKED);
  EXPECT_EQ(enabled(), std::make_pair(false, false));
  EXPECT_FALSE(window->btnInstall.m_bEnabled);

  // The page change keeps the box and both buttons as they are.
  Command(IDC_CUSTOM);
  Command(IDC_BACK);
  EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_AGREE), BST_UNCHECKED);
  EXPECT_EQ(enabled(), std::make_pair(false, false));

  SendMessageA(window->hwndAgree, BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_AGREE), BST_CHECKED);
  EXPECT_EQ(enabled(), std::make_pair(true, true));
}

TEST_F(WindowTest, CloseEndsOnTheFirstPagesAndOnlyCancelsOnTheLast) {
  for (int page : {0, 1}) {
    ASSERT_TRUE(CreateDefault());
    window->page = page;
    window->ShowPage();
    SendMessageA(hwnd, WM_COMMAND, IDC_CLOSE, 0);
    EXPECT_TRUE(Pump()) << "page " << page;
    EXPECT_FALSE(window->task.cancel.load()) << "page " << page;
    TearDown();
    hwnd = nullptr;
  }
  ASSERT_TRUE(CreateDefault());
  window->page = 2;
  window->ShowPage();
  SendMessageA(hwnd, WM_COMMAND, IDC_CLOSE, 0);
  EXPECT_FALSE(Pump());
  EXPECT_TRUE(window->task.cancel.load());
  EXPECT_EQ(window->page, 2);

  window->task.cancel = false;
  Command(IDC_CANCEL_INSTALL);
  EXPECT_TRUE(window->task.cancel.load());
}

TEST_F(WindowTest, UnhandledCommandsChangeNothing) {
  ASSERT_TRUE(CreateDefault());
  for (int id : {104, 1002, 0, 65535}) {
    SendMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0);
    EXPECT_FALSE(Pump()) << id;
  }
  EXPECT_EQ(window->page, 0);
  EXPECT_FALSE(window->task.cancel.load());
  EXPECT_TRUE(host.Boxes().empty());
}

TEST_F(WindowTest, TypedPathsDecideWhereTheGameGoes) {
  ASSERT_TRUE(CreateDefault());
  Command(IDC_CUSTOM);
  static const struct {
    const char* typed;
    const char* installPath;  // nullptr: unchanged
    bool invalid;
  } cases[] = {
      {"C:\\Games", "C:\\Games\\星辰之门\\", false},
      {"C:\\Games\\星辰之门", "C:\\Games\\星辰之门\\", false},
      {"C:\\Games\\星辰之门\\", "C:\\Games\\星辰之门\\", false},
      {"Q:\\Games", nullptr, true},  // no such drive
      {"", nullptr, true},           // empty field
      {"Z:\\tmp", "Z:\\tmp\\星辰之门\\", false},  // a valid path clears the mark
  };
  for (const auto& c : cases) {
    std::string before = window->paths.installPath;
    TypePath(c.typed);
    EXPECT_EQ(FieldText(), c.typed) << "the field keeps what was typed";
    EXPECT_EQ(std::string(window->paths.installPath), c.installPath ? c.installPath : before) << c.typed;
    EXPECT_EQ(window->paths.pathInvalid, c.invalid) << c.typed;
  }
}

TEST_F(WindowTest, InvalidPathRefusesToInstallUntilRestored) {
  ASSERT_TRUE(CreateDefault());
  Command(IDC_CUSTOM);
  TypePath("Q:\\Games");
  ASSERT_TRUE(window->paths.pathInvalid);
  for (int press = 0; press < 2; ++press) {
    host.Clear();
    Command(IDC_INSTALL);
    auto boxes = host.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "指定的路径无效");
    EXPECT_EQ(boxes[0].caption, "确认");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes[0].owner, hwnd);
    EXPECT_EQ(window->page, 1);
    EXPECT_EQ(window->task.thread, nullptr);
  }

  // Restoring the default makes the field valid again and refreshes the free space.
  window->paths.freeKB = 12345;
  Command(IDC_RESTORE_DEFAULT);
  EXPECT_FALSE(window->paths.pathInvalid);
  EXPECT_EQ(std::string(window->paths.installPath), window->paths.defaultPath);
  EXPECT_EQ(FieldText(), window->paths.defaultPath);
  EXPECT_NEAR(window->paths.freeKB, GetFreeSpaceKB(window->paths.defaultPath), 1 << 20);
}

TEST_F(WindowTest, OverLongTypedTextIsReplacedByTheInstallPath) {
  ASSERT_TRUE(CreateDefault());
  // The field refuses text wider than itself; set the text and report the change as the edit would.
  std::string typed = "C:\\" + std::string(257, 'a');
  SetWindowTextA(window->hwndPath, typed.c_str());
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_PATH, EN_CHANGE), reinterpret_cast<LPARAM>(window->hwndPath));
  Pump();
  EXPECT_EQ(FieldText(), window->paths.defaultPath);
  EXPECT_EQ(std::string(window->paths.installPath), window->paths.defaultPath);
}

TEST_F(WindowTest, InstallStartsTheWorkerAndWritesTheChannelFile) {
  ASSERT_TRUE(CreateDefault());
  // Short enough for the field, which takes no text wider than itself.
  std::string base = "Z:\\tmp\\vu" + std::to_string(GetCurrentProcessId());
  Command(IDC_CUSTOM);
  TypePath(base + "\\a\\b");
  std::string dir = base + "\\a\\b\\星辰之门\\";
  ASSERT_EQ(std::string(window->paths.installPath), dir);
  Command(IDC_INSTALL);
  EXPECT_EQ(window->page, 2);
  EXPECT_EQ(VisibleControls(), (std::vector<int>{1000, 1001, 1002, 1003}));
  EXPECT_NE(window->task.thread, nullptr);
  EXPECT_EQ(window->task.hwnd, hwnd);
  DWORD attributes = GetFileAttributesA(dir.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_NE(GetFileAttributesA((dir + "wbConfig.ini").c_str()), INVALID_FILE_ATTRIBUTES);

  // The manifest names no update list: the worker reports and posts status 0,
  // which ends the loop. A fast worker's quit may already have been pumped by
  // Command itself, while the window was still writing the channel file.
  for (int i = 0; i < 200 && !quitSeen; ++i) {
    Pump();
    Sleep(50);
  }
  EXPECT_TRUE(quitSeen);
  EXPECT_EQ(window->statusCode, STATUS_ERROR);
  WaitForSingleObject(window->task.thread, 10000);
  DeleteFileA((dir + "wbConfig.ini").c_str());
  for (const std::string& d : {dir, base + "\\a\\b", base + "\\a", base}) RemoveDirectoryA(d.c_str());
}

TEST_F(WindowTest, MinimiseLeavesPaintingAlone) {
  ASSERT_TRUE(CreateDefault());
  Command(IDC_MINIMIZE);
  EXPECT_TRUE(IsIconic(hwnd));
  Picture p = Render(*window);
  EXPECT_EQ(p.At(200, 200), RGB(0x11, 0x11, 0x11));  // untouched
}

TEST(SystemDrive, RootOfTheSystemDirectory) {
  char buffer[8];
  memset(buffer, 'x', sizeof buffer);
  int size = 3;
  GetSystemDrive(buffer, size);
  EXPECT_EQ(size, 4);
  EXPECT_EQ(buffer[0], 'x');

  size = sizeof buffer;
  GetSystemDrive(buffer, size);
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  EXPECT_EQ(std::string(buffer), std::string(system, 3));
  EXPECT_EQ(buffer[2], '\\');
}

TEST(FreeSpaceKB, OnlyTheDrivePartCounts) {
  EXPECT_GE(GetFreeSpaceKB("C:"), 0);
  EXPECT_EQ(GetFreeSpaceKB("C:\\no\\such\\folder"), GetFreeSpaceKB("C:"));
  EXPECT_EQ(GetFreeSpaceKB("Q:\\"), -1);
  EXPECT_EQ(GetFreeSpaceKB(""), -1);
  EXPECT_EQ(GetFreeSpaceKB("\\Games"), -1);
}
