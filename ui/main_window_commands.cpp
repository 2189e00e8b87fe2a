// The player's commands: page changes, the agreement, the install path and the start.
#include "ui/main_window.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

#include "engine/install_thread.h"
#include "system/channel_config.h"
#include "ui/web_address.h"

int MainWindow::OnCommand(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDC_CANCEL_INSTALL:
      task.cancel = true;
      break;
    case IDC_CLOSE:
      if (page == 2) {
        // The worker ends the installation at its next check.
        task.cancel = true;
      } else {
        PostQuitMessage(0);
      }
      break;
    case IDC_MINIMIZE:
      ShowWindow(hwnd, SW_SHOWMINIMIZED);
      break;
    case IDC_INSTALL:
      StartInstall();
      break;
    case IDC_AGREEMENT:
      if (IsWebAddress(task.urlAgreement)) ShellExecuteA(nullptr, nullptr, task.urlAgreement, nullptr, nullptr, SW_SHOWNORMAL);
      break;
    case IDC_CUSTOM:
      page = 1;
      ShowPage();
      break;
    case IDC_AGREE:
      OnAgreeClicked();
      break;
    case IDC_CHANGE:
      OnBrowse();
      break;
    case IDC_RESTORE_DEFAULT:
      // Programmatic text sends no EN_CHANGE, so the state is brought back here.
      RestoreDefaultPath(paths, GetFreeSpaceKB);
      SetWindowTextA(hwndPath, paths.installPath);
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case IDC_BACK:
      page = 0;
      ShowPage();
      break;
    case IDC_PATH:
      if (HIWORD(wParam) == EN_CHANGE) OnPathChanged();
      break;
    default:
      break;
  }
  return 0;
}

void MainWindow::StartInstall() {
  if (paths.pathInvalid) {
    task.host->ShowMessageBox(hwnd, "指定的路径无效", "确认", MB_OK);
    return;
  }
  page = 2;
  ShowPage();
  BeginInstallThread(task, hwnd, paths.installPath);
  WriteChannelConfig(paths.installPath, portalServer);
}

void MainWindow::OnAgreeClicked() {
  BOOL checked = SendMessageA(hwndAgree, BM_GETCHECK, 0, 0) == BST_CHECKED;
  btnCustom.Enable(checked);
  btnInstall.Enable(checked);
}

void MainWindow::OnBrowse() {
  char title[260];
  snprintf(title, sizeof title, "将%s安装到:", task.gameName);
  char displayName[260] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = hwnd;
  info.pszDisplayName = displayName;
  info.lpszTitle = title;
  char chosen[MAX_PATH] = {};
  if (LPITEMIDLIST list = SHBrowseForFolderA(&info)) {
    if (!SHGetPathFromIDListA(list, chosen)) chosen[0] = '\0';
    CoTaskMemFree(list);
  }
  if (!ApplyBrowsedPath(paths, chosen, task.gameName, GetFreeSpaceKB)) return;
  SetWindowTextA(hwndPath, paths.installPath);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void MainWindow::OnPathChanged() {
  char text[512] = {};
  GetWindowTextA(hwndPath, text, sizeof text);
  switch (ApplyTypedPath(paths, text, task.gameName, GetFreeSpaceKB)) {
    case TypedPath::kTooLong:
      SetWindowTextA(hwndPath, paths.installPath);
      break;
    case TypedPath::kInvalid:
      break;
    case TypedPath::kAccepted:
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
  }
}

void MainWindow::ComposeInstallPath(const char* path) { ::ComposeInstallPath(paths, path, task.gameName); }
