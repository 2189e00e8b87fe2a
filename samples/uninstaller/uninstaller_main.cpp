// The sample game's uninstaller, started by the system's list of installed
// programs as  "<setupdir>\uninstall\uninst.exe" "/U:<setupdir>\uninstall\uninstall.ini".
// It removes what the installer made for the game: the files under setupdir,
// the desktop link, the start-menu folder and the uninstall entry, and
// nothing else. Exit codes: 0 done (or handed to the restarted copy),
// 1 bad command line, 2 information file missing or not trusted, 3 the
// player said no, 4 some files could not be removed.
#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "samples/uninstaller/uninstall_args.h"
#include "system/game_window.h"
#include "system/name_guard.h"
#include "system/path_text.h"
#include "system/scoped_win.h"
#include "system/shortcuts.h"

namespace {

enum ExitCode { kDone = 0, kUsage = 1, kUntrusted = 2, kDeclined = 3, kLeftovers = 4 };

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const DWORD kParentWaitMs = 30000;
const UINT kCloseGameTimeoutMs = 10000;

// What the installer recorded in [config] of uninstall.ini.
struct InstallRecord {
  std::string setupDir;
  std::string gameName;
  std::string shortcutName;
  std::string productTitle;
};

// Message boxes, unless silent; every text also goes to the debugger so a
// silent run can be followed.
class Messages {
 public:
  explicit Messages(bool silent) : silent_(silent) {}
  void SetCaption(const std::string& caption) { caption_ = caption; }

  void Show(UINT icon, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    OutputDebugStringA(text);
    if (!silent_) MessageBoxA(nullptr, text, caption_.c_str(), MB_OK | icon);
  }

  bool Confirm(const std::string& text) {
    OutputDebugStringA(text.c_str());
    return MessageBoxA(nullptr, text.c_str(), caption_.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
  }

 private:
  bool silent_;
  std::string caption_ = "卸载";
};

std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return n == 0 || n >= MAX_PATH ? std::string() : std::string(full);
}

std::string ModulePath() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? std::string() : std::string(path);
}

std::string TempFolder() {
  char path[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, path);
  return n == 0 || n >= MAX_PATH ? std::string() : std::string(path);
}

bool SamePath(const std::string& a, const std::string& b) { return PathWithin(a, b) && PathWithin(b, a); }

std::string ReadValue(const std::string& file, const char* name) {
  char value[MAX_PATH] = {};
  GetPrivateProfileStringA("config", name, "", value, sizeof value, file.c_str());
  return value;
}

bool ReadRecord(const std::string& file, InstallRecord* record) {
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  record->setupDir = ReadValue(file, "setupdir");
  record->gameName = ReadValue(file, "gamename");
  record->shortcutName = ReadValue(file, "shortcutname");
  record->productTitle = ReadValue(file, "ProductTitle");
  return !record->setupDir.empty() && !record->gameName.empty();
}

// A folder the system or the player keeps, or one that holds such a folder:
// removing it would take far more than the game.
bool HoldsSpecialFolder(const std::string& dir) {
  static const int kFolders[] = {
      CSIDL_WINDOWS,         CSIDL_SYSTEM,          CSIDL_PROGRAM_FILES,    CSIDL_PROGRAM_FILESX86,
      CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROFILE,    CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,
      CSIDL_APPDATA,         CSIDL_LOCAL_APPDATA,   CSIDL_COMMON_APPDATA,   CSIDL_COMMON_DESKTOPDIRECTORY,
      CSIDL_STARTMENU,       CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS,        CSIDL_COMMON_PROGRAMS,
      CSIDL_COMMON_DOCUMENTS, CSIDL_MYPICTURES,     CSIDL_MYMUSIC,          CSIDL_MYVIDEO,
  };
  for (int csidl : kFolders) {
    char path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) && path[0] && PathWithin(dir, path)) return true;
  }
  const std::string temp = TempFolder();
  return !temp.empty() && PathWithin(dir, temp);
}

// The record may be acted on: its setupdir is a real folder named for the
// game, not a drive root, a link or a system folder, and it is the folder
// this information file was written into.
bool IsTrustworthy(const InstallRecord& record, const std::string& infoFile) {
  if (!IsGameInstallDir(record.setupDir.c_str(), record.gameName.c_str())) return false;
  if (!FitsBuffer(record.setupDir) || !FitsBuffer(record.shortcutName + ".lnk")) return false;
  const DWORD attributes = GetFileAttributesA(record.setupDir.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  if (HoldsSpecialFolder(record.setupDir)) return false;
  if (!record.shortcutName.empty() && !IsContainedName(record.shortcutName.c_str())) return false;
  return SamePath(FullPath(InfoFileOf(record.setupDir)), infoFile);
}

// Asks each running copy of the game to close and waits, within bounds, for
// its process to end, so its files are free to delete.
void CloseRunningGame(const std::string& title) {
  for (HWND window : FindWindowsTitled(title.c_str(), 16)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    ScopedKernelHandle process(pid && pid != GetCurrentProcessId() ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseGameTimeoutMs, &result);
    if (process) WaitForSingleObject(process.get(), kCloseGameTimeoutMs);
  }
}

// The entry is removed only while it still names this information file: a
// later installation of the same game elsewhere owns it otherwise.
void RemoveUninstallEntry(const std::string& gameName, const std::string& infoFile) {
  if (!IsUsableKeyName(gameName.c_str())) return;
  const std::string subkey = kUninstallKey + gameName;
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return;
  ScopedRegKey key(raw);
  char command[1024] = {};
  DWORD size = sizeof command - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(command), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return;
  key.reset();
  UninstallArgs named;
  if (!ParseUninstallArgs(CommandArguments(command), &named) || !SamePath(FullPath(named.infoFile), infoFile)) return;
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, subkey.c_str());
}

// Starts a copy of this program from the temporary folder that waits for
// this process to end and then does the work, so that this file, too, can
// be deleted. False when the copy could not be started.
bool RestartFromTemp(const UninstallArgs& args, const std::string& self) {
  const std::string temp = TempFolder();
  if (temp.empty()) return false;
  char copy[MAX_PATH];
  snprintf(copy, sizeof copy, "%svantrel_uninst_%lu.exe", temp.c_str(), GetCurrentProcessId());
  if (!CopyFileA(self.c_str(), copy, FALSE)) return false;
  HANDLE waitable = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &waitable, SYNCHRONIZE, TRUE, 0)) {
    DeleteFileA(copy);
    return false;
  }
  ScopedKernelHandle parent(waitable);
  std::string line = "\"" + std::string(copy) + "\" " +
                     RestartArguments(args, static_cast<unsigned long>(reinterpret_cast<uintptr_t>(waitable)));
  std::vector<char> mutableLine(line.begin(), line.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  // The copy works from the temporary folder: a working directory inside
  // setupdir would keep that folder from being removed.
  if (!CreateProcessA(copy, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, temp.c_str(), &startup, &info)) {
    DeleteFileA(copy);
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

void DeleteAtRestart(const std::string& path) { MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

int Run(const char* commandLine) {
  UninstallArgs args;
  if (!ParseUninstallArgs(commandLine, &args)) {
    Messages(args.silent).Show(MB_ICONERROR, "用法: uninst \"/U:<uninstall.ini 的路径>\" [/S]");
    return kUsage;
  }
  if (args.waitHandle) {
    HANDLE parent = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(args.waitHandle));
    WaitForSingleObject(parent, kParentWaitMs);
    CloseHandle(parent);
  }
  // A relative /U: path means the caller's folder; then keep no folder of
  // the installation open as the working directory.
  const std::string infoFile = FullPath(args.infoFile);
  if (!infoFile.empty()) args.infoFile = infoFile;
  const std::string temp = TempFolder();
  if (!temp.empty()) SetCurrentDirectoryA(temp.c_str());

  Messages messages(args.silent);
  InstallRecord record;
  if (infoFile.empty() || !ReadRecord(infoFile, &record)) {
    messages.Show(MB_ICONERROR, "无法读取卸载信息文件:%s.", args.infoFile.c_str());
    return kUntrusted;
  }
  const std::string shown = record.productTitle.empty() ? record.gameName : record.productTitle;
  messages.SetCaption(shown + "卸载");
  if (!IsTrustworthy(record, infoFile)) {
    messages.Show(MB_ICONERROR, "卸载信息中的安装目录无效,没有删除任何文件:%s", record.setupDir.c_str());
    return kUntrusted;
  }
  if (!args.silent && !args.confirmed && !messages.Confirm("确定要从您的计算机中完全删除 " + shown + " 及其所有组件吗?"))
    return kDeclined;

  const std::string self = ModulePath();
  const bool selfInside = !self.empty() && PathWithin(record.setupDir, self);
  if (selfInside && !args.waitHandle && RestartFromTemp(args, self)) return kDone;

  CloseRunningGame(record.productTitle);
  DeleteDirectoryTree(record.setupDir.c_str());
  if (!record.shortcutName.empty()) DeleteShortcut(record.shortcutName.c_str(), Desktop, false);
  DeleteShortcut(record.gameName.c_str(), Programs, true);
  DeleteShortcut(record.gameName.c_str(), CommonPrograms, true);
  RemoveUninstallEntry(record.gameName, infoFile);
  if (args.waitHandle && !self.empty()) DeleteAtRestart(self);

  if (GetFileAttributesA(record.setupDir.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (selfInside) {
      // Running in place: this program and its folders go at the next start.
      DeleteAtRestart(self);
      DeleteAtRestart(FullPath(record.setupDir + "\\uninstall"));
      DeleteAtRestart(record.setupDir);
    }
    messages.Show(MB_ICONWARNING, "部分文件无法删除,请手动删除:%s", record.setupDir.c_str());
    return kLeftovers;
  }
  messages.Show(MB_ICONINFORMATION, "%s 已从您的计算机中删除.", shown.c_str());
  return kDone;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) { return Run(commandLine ? commandLine : ""); }
