#include <gtest/gtest.h>
#include <objbase.h>
#include <shobjidl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/shortcuts.h"
#include "win_test_support.h"

namespace {

struct LinkInfo {
  bool loaded = false;
  std::string path, workingDirectory, arguments, description, iconLocation;
  WORD hotkey = 0;
  int showCommand = 0;
};

LinkInfo LoadLink(const std::string& file) {
  LinkInfo info;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    wchar_t wide[MAX_PATH];
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH) &&
        SUCCEEDED(persist->Load(wide, STGM_READ))) {
      info.loaded = true;
      char buf[MAX_PATH] = {};
      link->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH);
      info.path = buf;
      buf[0] = '\0';
      link->GetWorkingDirectory(buf, MAX_PATH);
      info.workingDirectory = buf;
      buf[0] = '\0';
      link->GetArguments(buf, MAX_PATH);
      info.arguments = buf;
      buf[0] = '\0';
      link->GetDescription(buf, MAX_PATH);
      info.description = buf;
      buf[0] = '\0';
      int index = 0;
      link->GetIconLocation(buf, MAX_PATH, &index);
      info.iconLocation = buf;
      link->GetHotkey(&info.hotkey);
      link->GetShowCmd(&info.showCommand);
    }
    if (persist) persist->Release();
    link->Release();
  }
  CoUninitialize();
  return info;
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA e;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &e);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string n = e.cFileName;
    if (n != "." && n != "..") names.push_back(n);
  } while (FindNextFileA(h, &e));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

class Shortcuts : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop_ = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    programs_ = SpecialFolder(CSIDL_PROGRAMS);
    common_ = SpecialFolder(CSIDL_COMMON_PROGRAMS);
    ASSERT_FALSE(desktop_.empty());
    ASSERT_FALSE(programs_.empty());
    ASSERT_FALSE(common_.empty());
    for (const std::string& d : {desktop_, programs_, common_}) MakeDirectoryPath(d.c_str());
    // The link targets exist, as after unpacking.
    program_ = dir_ / "Game Dir\\vtgame.exe";
    uninstaller_ = dir_ / "Game Dir\\uninstall\\vtun.exe";
    MakeDirectoryPath((dir_ / "Game Dir\\uninstall").c_str());
    WriteFile(program_, "MZ");
    WriteFile(uninstaller_, "MZ");
  }
  void TearDown() override {
    for (const char* name : {"VtLinkTest.lnk", "VtLinkCommon.lnk", "VtLinkOther.lnk", "vtgame.lnk", "VtOtherD.lnk"}) {
      DeleteFileA((desktop_ + "\\" + name).c_str());
    }
    for (const char* name : {"VtLinkFolder", "维特测试", "VtOtherA", "VtOtherB"}) RemoveTree(programs_ + "\\" + name);
    for (const char* name : {"维特测试", "VtOtherC", "VtLinkCommon.lnk"}) RemoveTree(common_ + "\\" + name);
    DeleteFileA((common_ + "\\VtLinkCommon.lnk").c_str());
  }

  TempFolder dir_{"links"};
  std::string desktop_, programs_, common_, program_, uninstaller_;
};

TEST_F(Shortcuts, LinkCarriesTargetAndWorkingDirectoryOnly) {
  // A lower-case drive letter in the target; the working directory gets an upper-case one.
  std::string target = program_;
  target[0] = static_cast<char>(tolower(target[0]));
  ASSERT_TRUE(CreateShortcut(target.c_str(), "VtLinkFolder", Programs, true));
  static const struct {
    int folder;
    const char* name;
    bool onDesktop;
  } cases[] = {
      {Desktop, "VtLinkTest", true},
      {CommonPrograms, "VtLinkCommon", true},  // creating knows no all-users folder
      {7, "VtLinkOther", true},
      {Programs, "VtLinkFolder\\vtgame", false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(CreateShortcut(target.c_str(), c.name, c.folder, false)) << c.name;
    const std::string file = (c.onDesktop ? desktop_ : programs_) + "\\" + c.name + ".lnk";
    const LinkInfo link = LoadLink(file);
    ASSERT_TRUE(link.loaded) << file;
    EXPECT_TRUE(SamePath(link.path, target)) << link.path;
    std::string dir = dir_ / "Game Dir";
    dir[0] = static_cast<char>(toupper(dir[0]));
    EXPECT_EQ(link.workingDirectory, dir);
    EXPECT_EQ(link.arguments, "");
    EXPECT_EQ(link.description, "");
    EXPECT_EQ(link.iconLocation, "");
    EXPECT_EQ(link.hotkey, 0);
    EXPECT_EQ(link.showCommand, SW_SHOWNORMAL);
  }
  EXPECT_FALSE(Exists(common_ + "\\VtLinkCommon.lnk"));
}

TEST_F(Shortcuts, SavingAgainReplacesTheLink) {
  ASSERT_TRUE(CreateShortcut(program_.c_str(), "VtLinkTest", Desktop, false));
  ASSERT_TRUE(CreateShortcut(uninstaller_.c_str(), "VtLinkTest", Desktop, false));
  EXPECT_TRUE(SamePath(LoadLink(desktop_ + "\\VtLinkTest.lnk").path, uninstaller_));
}

TEST_F(Shortcuts, FolderOnlyMakesEveryLevelAndNoLink) {
  ASSERT_TRUE(CreateShortcut(program_.c_str(), "VtLinkFolder\\Sub/Deeper", Programs, true));
  EXPECT_TRUE(IsDirectory(programs_ + "\\VtLinkFolder\\Sub\\Deeper"));
  EXPECT_EQ(Entries(programs_ + "\\VtLinkFolder\\Sub\\Deeper").size(), 0u);
  EXPECT_FALSE(Exists(programs_ + "\\VtLinkFolder\\Sub\\Deeper.lnk"));
}

TEST_F(Shortcuts, DeleteRemovesTheLinkOrTheWholeFolder) {
  ASSERT_TRUE(CreateShortcut(program_.c_str(), "VtLinkTest", Desktop, false));
  DeleteShortcut("VtLinkTest", Desktop, false);
  EXPECT_FALSE(Exists(desktop_ + "\\VtLinkTest.lnk"));
  DeleteShortcut("VtLinkTest", Desktop, false);  // already gone: nothing happens

  MakeDirectoryPath((common_ + "\\VtOtherC\\sub").c_str());
  WriteFile(common_ + "\\VtOtherC\\sub\\c.lnk", "x");
  DeleteShortcut("VtOtherC", CommonPrograms, true);
  EXPECT_FALSE(Exists(common_ + "\\VtOtherC"));
}

TEST_F(Shortcuts, OverlongNamesAreRefused) {
  const std::string longName(MAX_PATH - programs_.size() - 4, 'n');  // fits as a folder, not with ".lnk"
  EXPECT_FALSE(CreateShortcut(program_.c_str(), longName.c_str(), Programs, false));
  EXPECT_FALSE(Exists(programs_ + "\\" + longName.substr(0, longName.size() - 4) + ".lnk"));
  const std::string tooLong(MAX_PATH, 'n');
  EXPECT_FALSE(CreateShortcut(program_.c_str(), tooLong.c_str(), Programs, true));
}

// The set an installation makes, in its order.
void InstallShortcutSet(const std::string& program, const std::string& uninstaller, const std::string& game,
                        const std::string& base) {
  const std::string programLink = game + "\\" + base;
  const std::string uninstallLink = game + "\\" + base + "卸载";
  DeleteShortcut(base.c_str(), Desktop, false);
  CreateShortcut(program.c_str(), base.c_str(), Desktop, false);
  DeleteShortcut(programLink.c_str(), Programs, false);
  DeleteShortcut(uninstallLink.c_str(), Programs, false);
  DeleteShortcut(game.c_str(), Programs, true);
  DeleteShortcut(game.c_str(), CommonPrograms, true);
  CreateShortcut(program.c_str(), game.c_str(), Programs, true);
  CreateShortcut(program.c_str(), programLink.c_str(), Programs, false);
  CreateShortcut(uninstaller.c_str(), uninstallLink.c_str(), Programs, false);
}

TEST_F(Shortcuts, InstallationSetLeavesDesktopLinkAndGameFolder) {
  // What an earlier installation may have left, in both start menus.
  MakeDirectoryPath((common_ + "\\维特测试").c_str());
  WriteFile(common_ + "\\维特测试\\old.lnk", "x");
  MakeDirectoryPath((programs_ + "\\维特测试\\Old Folder").c_str());
  WriteFile(programs_ + "\\维特测试\\Old Folder\\stale.txt", "x");
  WriteFile(desktop_ + "\\vtgame.lnk", "not a link");

  for (int run = 1; run <= 2; ++run) {
    InstallShortcutSet(program_, uninstaller_, "维特测试", "vtgame");
    EXPECT_TRUE(SamePath(LoadLink(desktop_ + "\\vtgame.lnk").path, program_)) << "run " << run;
    const std::string folder = programs_ + "\\维特测试";
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"vtgame.lnk", "vtgame卸载.lnk"})) << "run " << run;
    EXPECT_TRUE(SamePath(LoadLink(folder + "\\vtgame.lnk").path, program_));
    const LinkInfo un = LoadLink(folder + "\\vtgame卸载.lnk");
    EXPECT_TRUE(SamePath(un.path, uninstaller_));
    EXPECT_TRUE(SamePath(un.workingDirectory, dir_ / "Game Dir\\uninstall"));
    EXPECT_FALSE(Exists(common_ + "\\维特测试")) << "run " << run;
  }
}

// An empty, dot or climbing name must not turn a delete into one of the
// whole start menu (or anything else outside the special folder).
TEST_F(Shortcuts, DeleteRefusesNamesThatLeaveTheFolder) {
  MakeDirectoryPath((programs_ + "\\VtOtherA").c_str());
  WriteFile(programs_ + "\\VtOtherA\\a.lnk", "x");
  MakeDirectoryPath((programs_ + "\\VtOtherB\\sub").c_str());
  WriteFile(programs_ + "\\VtOtherB\\sub\\b.lnk", "x");
  MakeDirectoryPath((common_ + "\\VtOtherC").c_str());
  WriteFile(common_ + "\\VtOtherC\\c.lnk", "x");
  WriteFile(desktop_ + "\\VtOtherD.lnk", "x");
  const std::string startMenu = programs_.substr(0, programs_.rfind('\\'));
  const std::vector<std::string> startMenuBefore = Entries(startMenu);
  const std::vector<std::string> programsBefore = Entries(programs_);
  const std::vector<std::string> commonBefore = Entries(common_);

  const char* names[] = {nullptr, "", ".", "..", "...", ". .", "\\", "/", "..\\Programs", "../Programs",
                         "VtOtherA\\..", "VtOtherA\\..\\..", "..\\..\\Start Menu", "C:\\", "\\\\", "VtOtherA\\"};
  for (const char* name : names) {
    for (int folder : {Desktop, Programs, CommonPrograms}) {
      for (bool whole : {true, false}) DeleteShortcut(name, folder, whole);
    }
  }
  EXPECT_EQ(Entries(startMenu), startMenuBefore);
  EXPECT_EQ(Entries(programs_), programsBefore);
  EXPECT_EQ(Entries(common_), commonBefore);
  for (const std::string& f : {programs_ + "\\VtOtherA\\a.lnk", programs_ + "\\VtOtherB\\sub\\b.lnk",
                               common_ + "\\VtOtherC\\c.lnk", desktop_ + "\\VtOtherD.lnk"}) {
    EXPECT_TRUE(Exists(f)) << f;
  }
}

TEST_F(Shortcuts, CreateRefusesNamesThatLeaveTheFolder) {
  const std::string startMenu = programs_.substr(0, programs_.rfind('\\'));
  const std::vector<std::string> before = Entries(startMenu);
  for (const char* name : {"", "..\\VtEscape", "VtLinkFolder\\..\\..\\VtEscape"}) {
    EXPECT_FALSE(CreateShortcut(program_.c_str(), name, Programs, false)) << name;
    EXPECT_FALSE(CreateShortcut(program_.c_str(), name, Programs, true)) << name;
  }
  EXPECT_EQ(Entries(startMenu), before);
}

}  // namespace
