#include "engine/install_worker.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/install_names.h"
#include "engine/package_digest.h"
#include "engine/update_plan.h"
#include "engine/worker_texts.h"
#include "net/http_client.h"
#include "package/package_unpacker.h"
#include "package/path_util.h"
#include "system/game_window.h"
#include "system/launch.h"
#include "system/shortcuts.h"
#include "system/uninstall_registry.h"

namespace {

// The common end of every failure that has a text.
void ReportError(InstallTask& task) {
  task.ShowErrorBox(task.errorText[0] ? task.errorText : kErrUnknown);
  task.PostStatus(STATUS_ERROR);
}

void Fail(InstallTask& task, const char* text) {
  snprintf(task.errorText, sizeof task.errorText, "%s", text);
  ReportError(task);
}

// Asks a running copy of the game to close before its files are replaced;
// a window that does not answer holds the installation only so long.
void CloseRunningGame(const char* title, UINT timeoutMs) {
  const std::vector<HWND> windows = FindWindowsTitled(title, 1);
  if (windows.empty()) return;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(windows[0], WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result);
}

// True when the package lies complete in the install directory; otherwise the
// failure has been reported (or the player cancelled) and the worker ends.
bool DownloadPackage(InstallTask& task, const char* srcfile, const char* destfile, const PackageCheck& check,
                     const WorkerLimits& limits) {
  task.PostStatus(STATUS_DOWNLOADING);
  int attempts = 0;
  int damaged = 0;
  bool restart = false;
  for (;;) {
    std::string localPath;
    bool isRetry = attempts > 0 && !restart;
    restart = false;
    if (DownloadResumable(destfile, task, srcfile, localPath, isRetry) == 0) {
      if (!check.any() || PackageFileMatches(localPath.c_str(), check)) return true;
      // A damaged file would only be continued; the next attempt starts it
      // afresh, with the bar back at 0.
      DeleteFileA(localPath.c_str());
      restart = true;
      if (++damaged >= limits.damagedDownloads) {
        Fail(task, kErrPackageDamaged);
        return false;
      }
    }
    if (task.cancel) {
      task.PostStatus(STATUS_ERROR);
      return false;
    }
    if (++attempts >= limits.downloadAttempts) {
      Fail(task, kErrNetworkBroken);
      return false;
    }
    Sleep(limits.retryPauseMs);
  }
}

void RunCommand(InstallTask& task, const char* cmd, const char* destfile, const InstallNames& names,
                const std::string& packagePath, const WorkerLimits& limits) {
  task.PostStatus(STATUS_INSTALLING);
  task.PostProgress(0);
  if (!IsKnownCommand(cmd)) {
    Fail(task, kErrUnknownCommand);
    return;
  }
  CloseRunningGame(task.productTitle, limits.closeGameTimeoutMs);

  PackageUnpacker unpacker;
  unpacker.progressWindow = task.hwnd;
  unpacker.host = task.host;
  int unpacked = unpacker.ExtractPackage(destfile, task.installDir);
  DeleteFileA(packagePath.c_str());
  if (unpacked != 0) {
    task.ShowErrorBox(kErrUnpack);
    task.PostStatus(STATUS_ERROR);
    return;
  }

  RegisterUninstall(task.publisher, task.contact, task.gameName, task.gameName, names.uninstaller.c_str(),
                    names.uninstallInfo.c_str());

  // Remove what an earlier installation of the same game left, then make the
  // new set.
  const char* program = names.program.c_str();
  const char* base = names.base.c_str();
  DeleteShortcut(base, Desktop, false);
  CreateShortcut(program, base, Desktop, false);
  DeleteShortcut(names.programLink.c_str(), Programs, false);
  DeleteShortcut(names.uninstallLink.c_str(), Programs, false);
  DeleteShortcut(task.gameName, Programs, true);
  DeleteShortcut(task.gameName, CommonPrograms, true);
  CreateShortcut(program, task.gameName, Programs, true);
  CreateShortcut(program, names.programLink.c_str(), Programs, false);
  CreateShortcut(names.uninstaller.c_str(), names.uninstallLink.c_str(), Programs, false);

  const char* ini = names.uninstallInfo.c_str();
  char onlineType[16];
  snprintf(onlineType, sizeof onlineType, "%d", 0);
  WritePrivateProfileStringA("config", "setupdir", task.installDir, ini);
  WritePrivateProfileStringA("config", "gamename", task.gameName, ini);
  WritePrivateProfileStringA("config", "shortcutname", base, ini);
  WritePrivateProfileStringA("config", "ProductTitle", task.productTitle, ini);
  WritePrivateProfileStringA("config", "OnlineType", onlineType, ini);

  if (!LaunchGameProgram(task, program)) {
    ReportError(task);
    return;
  }
  task.PostStatus(STATUS_COMPLETE);
}

}  // namespace

void RunInstallWith(InstallTask& task, const WorkerLimits& limits) {
  // The game started at the end inherits it.
  SetCurrentDirectoryA(task.installDir);
  task.PostStatus(STATUS_READING_CONFIG);

  char forThisVersion[1000] = {};
  char other[1000] = {};
  if (!task.manifestPath.empty()) {
    const char* manifest = task.manifestPath.c_str();
    GetPrivateProfileStringA("config", "1.0", "", forThisVersion, 999, manifest);
    if (!forThisVersion[0]) GetPrivateProfileStringA("config", "other", "", other, 999, manifest);
  }
  const char* listUrl = ChooseUpdateListUrl(forThisVersion, other);
  if (!listUrl) return Fail(task, kErrNoUpdateUrl);

  std::string listPath;
  if (FetchToTempFile(listUrl, task, listPath) != 0) return;
  const char* list = listPath.c_str();
  char section[20] = {};
  snprintf(section, sizeof section, "list%d", 0);
  int action = static_cast<int>(GetPrivateProfileIntA(section, "action", -1, list));
  if (action == 0) return task.PostStatus(STATUS_INSTALLING);
  // Without a status the window would stay on its last page with nothing
  // left to end the program.
  if (task.cancel) return task.PostStatus(STATUS_ERROR);
  if (action == -1) return Fail(task, kErrListUnreadable);

  char srcfile[260] = {};
  char destfile[260] = {};
  char cmd[260] = {};
  char sizeText[260] = {};
  char sha256Text[260] = {};
  GetPrivateProfileStringA(section, "srcfile", "", srcfile, sizeof srcfile, list);
  GetPrivateProfileStringA(section, "destfile", "", destfile, sizeof destfile, list);
  GetPrivateProfileStringA(section, "cmd", "", cmd, sizeof cmd, list);
  ActionPlan plan = PlanAction(action, srcfile, destfile, cmd);
  if (plan.error) return Fail(task, plan.error);

  GetPrivateProfileStringA(section, "size", "", sizeText, sizeof sizeText, list);
  GetPrivateProfileStringA(section, "sha256", "", sha256Text, sizeof sha256Text, list);
  PackageCheck check;
  if (!ParsePackageCheck(sizeText, sha256Text, check)) return Fail(task, kErrListUnreadable);

  // Known before the download, so a path too long to install into does not
  // cost the player the whole transfer first.
  InstallNames names;
  std::string packagePath;
  if (plan.command) {
    packagePath = JoinPath(task.installDir, destfile);
    if (!ComposeInstallNames(task.installDir, task.exeFileName, task.uninstName, task.gameName, names) ||
        !FitsPathBuffer(packagePath)) {
      return Fail(task, kErrPathTooLong);
    }
  }

  if (plan.download && !DownloadPackage(task, srcfile, destfile, check, limits)) return;
  if (plan.command) return RunCommand(task, cmd, destfile, names, packagePath, limits);
  task.PostStatus(STATUS_INSTALLING);
}

void InstallTask::RunInstall() { RunInstallWith(*this, WorkerLimits()); }
