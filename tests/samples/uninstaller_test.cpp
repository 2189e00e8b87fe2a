#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/shortcuts.h"
#include "system/uninstall_registry.h"
#include "win_test_support.h"

namespace {

const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string ReadUninstallString(const std::string& gameName) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kUninstall + gameName).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return "";
  char value[1024] = {};
  DWORD size = sizeof value - 1;
  RegQueryValueExA(key, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return value;
}

bool KeyExists(const std::string& gameName) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kUninstall + gameName).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

HANDLE Start(const std::string& commandLine, const char* workingDirectory = nullptr) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingDirectory, &startup, &info))
    return nullptr;
  CloseHandle(info.hThread);
  return info.hProcess;
}

// Runs a command line and returns its exit code, or -1.
int RunAndWait(const std::string& commandLine, const char* workingDirectory = nullptr) {
  HANDLE process = Start(commandLine, workingDirectory);
  if (!process) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return static_cast<int>(code);
}

struct BoxSearch {
  std::string caption;
  HWND found;
};

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  char cls[64] = {};
  char caption[512] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  GetWindowTextA(hwnd, caption, sizeof caption);
  if (std::string(cls) == "#32770" && IsWindowVisible(hwnd) && search->caption == caption) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
  char cls[64] = {};
  char text[1024] = {};
  GetClassNameA(child, cls, sizeof cls);
  GetWindowTextA(child, text, sizeof text);
  if (std::string(cls) == "Static" && text[0]) *reinterpret_cast<std::string*>(param) += text;
  return TRUE;
}

// The text of a message box with this caption, answered with `button`;
// empty when no such box came up in time.
std::string AnswerBox(const std::string& caption, int button, int timeoutMs = 30000) {
  BoxSearch search{caption, nullptr};
  if (!WaitUntil([&] {
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
                 timeoutMs))
    return "";
  std::string text;
  EnumChildWindows(search.found, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  WaitUntil([&] { return !IsWindow(search.found); }, 10000);
  return text;
}

// An installation as the install worker leaves it, made with the same system
// functions, beside a sibling folder, another program's start-menu folder and
// another desktop link that must all survive.
class Uninstaller : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string tag = std::to_string(GetCurrentProcessId());
    gameName_ = "星海传说" + tag;
    title_ = "星海传说 " + tag;
    games_ = root_ / "Games";
    installDir_ = games_ + "\\" + gameName_ + "\\";
    sibling_ = games_ + "\\" + gameName_ + "2";
    program_ = installDir_ + "game.exe";
    uninstaller_ = installDir_ + "uninstall\\uninst.exe";
    info_ = installDir_ + "uninstall\\uninstall.ini";
    log_ = root_ / "game.log";

    MakeDirectoryPath((installDir_ + "uninstall").c_str());
    MakeDirectoryPath((installDir_ + "data\\maps").c_str());
    MakeDirectoryPath(sibling_.c_str());
    ASSERT_TRUE(CopyFileA(HostPath(VANTREL_SAMPLE_GAME).c_str(), program_.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(HostPath(VANTREL_UNINSTALLER).c_str(), uninstaller_.c_str(), FALSE));
    WriteFile(installDir_ + "data\\maps\\1.map", "map");
    WriteFile(installDir_ + "title.txt", title_ + "\r\n");
    WriteFile(sibling_ + "\\keep.txt", "not the game's");

    RegisterUninstall("Corvel", "support@corvel.example", gameName_.c_str(), gameName_.c_str(), uninstaller_.c_str(),
                      info_.c_str());
    const std::string programLink = gameName_ + "\\game";
    const std::string uninstallLink = programLink + "卸载";
    ASSERT_TRUE(CreateShortcut(program_.c_str(), "game", Desktop, false));
    ASSERT_TRUE(CreateShortcut(program_.c_str(), gameName_.c_str(), Programs, true));
    ASSERT_TRUE(CreateShortcut(program_.c_str(), programLink.c_str(), Programs, false));
    ASSERT_TRUE(CreateShortcut(uninstaller_.c_str(), uninstallLink.c_str(), Programs, false));
    WritePrivateProfileStringA("config", "setupdir", installDir_.c_str(), info_.c_str());
    WritePrivateProfileStringA("config", "gamename", gameName_.c_str(), info_.c_str());
    WritePrivateProfileStringA("config", "shortcutname", "game", info_.c_str());
    WritePrivateProfileStringA("config", "ProductTitle", title_.c_str(), info_.c_str());
    WritePrivateProfileStringA("config", "OnlineType", "0", info_.c_str());

    otherFolder_ = SpecialFolder(CSIDL_PROGRAMS) + "\\OtherGame" + tag;
    MakeDirectoryPath(otherFolder_.c_str());
    WriteFile(otherFolder_ + "\\other.lnk", "link");
    otherLink_ = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\other" + tag + ".lnk";
    WriteFile(otherLink_, "link");
  }

  void TearDown() override {
    if (game_) {
      TerminateProcess(game_, 0);
      CloseHandle(game_);
    }
    DeleteShortcut("game", Desktop, false);
    DeleteShortcut(gameName_.c_str(), Programs, true);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstall + gameName_).c_str());
    RemoveTree(otherFolder_);
    DeleteFileA(otherLink_.c_str());
    RemoveTemporaryCopies();
  }

  void StartGame() {
    SetEnvironmentVariableA("VANTREL_GAME_LOG", log_.c_str());
    game_ = Start("\"" + program_ + "\"");
    SetEnvironmentVariableA("VANTREL_GAME_LOG", nullptr);
    ASSERT_NE(game_, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return FindWindowA(nullptr, title_.c_str()) != nullptr; }, 20000));
  }

  // The restarted copies schedule themselves for the next system start;
  // a test prefix never restarts.
  static void RemoveTemporaryCopies() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((std::string(temp) + "vantrel_uninst_*.exe").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      DeleteFileA((std::string(temp) + entry.cFileName).c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }

  bool Removed() const {
    return !Exists(installDir_) && !KeyExists(gameName_) && !Exists(SpecialFolder(CSIDL_PROGRAMS) + "\\" + gameName_);
  }

  void ExpectInstallationIntact() const {
    EXPECT_EQ(ReadFile(installDir_ + "data\\maps\\1.map"), "map");
    EXPECT_TRUE(Exists(program_));
    EXPECT_TRUE(Exists(uninstaller_));
    EXPECT_TRUE(KeyExists(gameName_));
    EXPECT_TRUE(Exists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\game.lnk"));
    EXPECT_TRUE(Exists(SpecialFolder(CSIDL_PROGRAMS) + "\\" + gameName_ + "\\game.lnk"));
  }

  void ExpectOthersIntact() const {
    EXPECT_EQ(ReadFile(sibling_ + "\\keep.txt"), "not the game's");
    EXPECT_TRUE(Exists(otherFolder_ + "\\other.lnk"));
    EXPECT_TRUE(Exists(otherLink_));
  }

 public:
  TempFolder root_{"uninst"};
  std::string gameName_, title_, games_, installDir_, sibling_, program_, uninstaller_, info_, log_;
  std::string otherFolder_, otherLink_;
  HANDLE game_ = nullptr;
};

TEST_F(Uninstaller, EntryCommandRemovesTheInstallationAndNothingElse) {
  StartGame();
  const std::string command = ReadUninstallString(gameName_);
  ASSERT_EQ(command, "\"" + uninstaller_ + "\" \"/U:" + info_ + "\"");
  // The program runs from inside the folder it removes: it hands over to a
  // copy of itself, so its own exit comes first.
  EXPECT_EQ(RunAndWait(command + " /S"), 0);
  EXPECT_TRUE(WaitUntil([&] { return Removed(); }, 60000));
  EXPECT_FALSE(Exists(installDir_));
  EXPECT_FALSE(KeyExists(gameName_));
  EXPECT_FALSE(Exists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\game.lnk"));
  EXPECT_FALSE(Exists(SpecialFolder(CSIDL_PROGRAMS) + "\\" + gameName_));
  EXPECT_NE(ReadFile(log_).find("closed"), std::string::npos) << "the running game is asked to close";
  ExpectOthersIntact();
  EXPECT_TRUE(Exists(games_));
}

TEST_F(Uninstaller, RelativeInfoFileIsTheCallersAndSurvivesTheRestart) {
  // The copy works from the temporary folder; it must get the full path.
  const std::string folder = installDir_ + "uninstall";
  EXPECT_EQ(RunAndWait("\"" + uninstaller_ + "\" /U:uninstall.ini /S", folder.c_str()), 0);
  EXPECT_TRUE(WaitUntil([&] { return Removed(); }, 60000));
  ExpectOthersIntact();
}

TEST_F(Uninstaller, AskedFirstAndReportsWhenDone) {
  const std::string command = ReadUninstallString(gameName_);
  const std::string caption = title_ + "卸载";
  HANDLE run = Start(command);
  ASSERT_NE(run, nullptr);
  EXPECT_NE(AnswerBox(caption, IDNO).find(title_), std::string::npos);
  EXPECT_EQ(WaitForSingleObject(run, 30000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(run, &code);
  CloseHandle(run);
  EXPECT_EQ(code, 3u);
  ExpectInstallationIntact();

  run = Start(command);
  ASSERT_NE(run, nullptr);
  EXPECT_NE(AnswerBox(caption, IDYES), "");
  EXPECT_EQ(AnswerBox(caption, IDOK), title_ + " 已从您的计算机中删除.");
  EXPECT_EQ(WaitForSingleObject(run, 30000), WAIT_OBJECT_0);
  CloseHandle(run);
  EXPECT_TRUE(WaitUntil([&] { return Removed(); }, 30000));
  ExpectOthersIntact();
}

TEST_F(Uninstaller, UntrustedRecordsRemoveNothing) {
  const std::string copyOfInfo = root_ / "uninstall.ini";
  const struct {
    const char* what;
    const char* key;
    std::string (*value)(const Uninstaller&);
  } cases[] = {
      {"setupdir is the parent folder", "setupdir", [](const Uninstaller& t) { return t.games_; }},
      {"setupdir is a drive root", "setupdir", [](const Uninstaller&) { return std::string("C:\\"); }},
      {"setupdir is missing", "setupdir", [](const Uninstaller& t) { return t.games_ + "\\none\\" + t.gameName_; }},
      {"setupdir names the sibling", "setupdir", [](const Uninstaller& t) { return t.sibling_; }},
      {"setupdir climbs", "setupdir",
       [](const Uninstaller& t) { return t.installDir_ + "..\\" + t.gameName_ + "\\"; }},
      {"gamename is another folder", "gamename", [](const Uninstaller&) { return std::string("Games"); }},
      {"gamename is empty", "gamename", [](const Uninstaller&) { return std::string(""); }},
      {"gamename climbs", "gamename", [](const Uninstaller&) { return std::string(".."); }},
      {"shortcut name climbs", "shortcutname", [](const Uninstaller&) { return std::string("..\\..\\x"); }},
  };
  const std::string uninstaller = "\"" + HostPath(VANTREL_UNINSTALLER) + "\"";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string saved = [&] {
      char v[MAX_PATH] = {};
      GetPrivateProfileStringA("config", c.key, "", v, sizeof v, info_.c_str());
      return std::string(v);
    }();
    WritePrivateProfileStringA("config", c.key, c.value(*this).c_str(), info_.c_str());
    EXPECT_EQ(RunAndWait(uninstaller + " \"/U:" + info_ + "\" /S"), 2);
    WritePrivateProfileStringA("config", c.key, saved.c_str(), info_.c_str());
    ExpectInstallationIntact();
    ExpectOthersIntact();
  }

  // A sound record, but read from a file that is not the installation's own.
  ASSERT_TRUE(CopyFileA(info_.c_str(), copyOfInfo.c_str(), FALSE));
  EXPECT_EQ(RunAndWait(uninstaller + " \"/U:" + copyOfInfo + "\" /S"), 2);
  EXPECT_EQ(RunAndWait(uninstaller + " \"/U:" + (root_ / "missing.ini") + "\" /S"), 2);
  EXPECT_EQ(RunAndWait(uninstaller + " /S"), 1);
  EXPECT_EQ(RunAndWait(uninstaller + " \"/U:" + info_ + "\" /S /Q"), 1);
  ExpectInstallationIntact();
  ExpectOthersIntact();
}

TEST_F(Uninstaller, EntryOfALaterInstallationElsewhereStays) {
  // The same game installed again into another folder took over the entry.
  const std::string elsewhere = root_ / "Elsewhere\\uninstall\\uninst.exe";
  RegisterUninstall("Corvel", "support@corvel.example", gameName_.c_str(), gameName_.c_str(), elsewhere.c_str(),
                    (root_ / "Elsewhere\\uninstall\\uninstall.ini").c_str());
  const std::string uninstaller = "\"" + HostPath(VANTREL_UNINSTALLER) + "\"";
  EXPECT_EQ(RunAndWait(uninstaller + " \"/U:" + info_ + "\" /S"), 0);
  EXPECT_FALSE(Exists(installDir_));
  EXPECT_TRUE(KeyExists(gameName_));
  EXPECT_EQ(ReadUninstallString(gameName_), "\"" + elsewhere + "\" \"/U:" + root_ / "Elsewhere\\uninstall\\uninstall.ini" + "\"");
  ExpectOthersIntact();
}

}  // namespace
