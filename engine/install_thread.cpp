#include "engine/install_thread.h"

#include <cstdio>

#include "engine/worker_texts.h"
#include "system/shortcuts.h"

void BeginInstallThread(InstallTask& task, HWND hwnd, const char* path) {
  task.hwnd = hwnd;
  task.cancel = false;
  snprintf(task.installDir, sizeof task.installDir, "%s", path);
  MakeDirectoryPath(task.installDir);
  task.thread = CreateThread(nullptr, 0, InstallThreadProc, &task, 0, nullptr);
  if (!task.thread) {
    // Nothing else would ever move the window off the progress page.
    task.ShowErrorBox(kErrThreadStart);
    task.PostStatus(STATUS_ERROR);
  }
}

DWORD WINAPI InstallThreadProc(LPVOID task) {
  static_cast<InstallTask*>(task)->RunInstall();
  return 0;
}
