#include "ui/main_window.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "system/channel_config.h"
#include "ui/space_format.h"

MainWindow::MainWindow(HINSTANCE instance) : kwWin32Dialog(instance) {
  snprintf(agreeLabel, sizeof agreeLabel, "%s", "已阅读并同意");
}

MainWindow::~MainWindow() {
  // A worker still running stops at its next check.
  task.cancel = true;
  // Out of the map before the members go, so no message reaches a half-destroyed window.
  if (hwnd) RemoveWindowObject(GetWindowMap(), hwnd);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_INSTALL_PROGRESS:
      OnProgress(static_cast<int>(lParam));
      return 0;
    case WM_INSTALL_STATUS:
      // A value that does not fit an int must not wrap into a valid code.
      OnInstallStatus(lParam >= 0 && lParam < kStatusCount ? static_cast<int>(lParam) : -1);
      return 0;
    default:
      return kwWin32Dialog::HandleMessage(message, wParam, lParam);
  }
}

bool MainWindow::CreateSkinnedButton(CWINButton& button, int id, int x, int y, int w, int h, int picture,
                                     bool hand) {
  HWND control = CreateWindowExA(0, "button", "", WS_CHILD | WS_VISIBLE, x, y, w, h, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  button.Attach(control);
  bool skinned = button.SetImage(instance, picture);
  button.m_bHandCursor = hand;
  return skinned;
}

void MainWindow::LoadPicture(Image& image, int id) {
  if (HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id), "PNG")) LoadPngFromResource(instance, resource, image);
}

void MainWindow::CentreEditLine() {
  RECT rc;
  GetClientRect(hwndPath, &rc);
  // The edit's own DC as it comes (system font), as the layout was designed with.
  HDC dc = GetDC(hwndPath);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  ReleaseDC(hwndPath, dc);
  rc.top += (rc.bottom - tm.tmExternalLeading - tm.tmHeight) / 2;
  SendMessageA(hwndPath, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rc));
}

void MainWindow::PlaceWindow() {
  int sw = GetSystemMetrics(SM_CXSCREEN);
  int sh = GetSystemMetrics(SM_CYSCREEN);
  if (!imgBackground.IsNull()) {
    int w = imgBackground.GetWidth();
    int h = imgBackground.GetHeight();
    int x = (sw - w) >> 1;
    int y = (sh - h) >> 1;
    SetWindowPos(hwnd, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, w, h, SWP_NOZORDER);
    return;
  }
  RECT client;
  GetClientRect(hwnd, &client);
  int x = (sw - (client.right - client.left)) >> 1;
  int y = (sh - (client.bottom - client.top)) >> 1;
  SetWindowPos(hwnd, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE);
}

bool MainWindow::OnCreate() {
  CreateSkinnedButton(btnClose, IDC_CLOSE, 408, 0, 47, 32, 156, false);
  CreateSkinnedButton(btnMinimize, IDC_MINIMIZE, 361, 0, 47, 32, 163, false);
  CreateSkinnedButton(btnInstall, IDC_INSTALL, 163, 209, 37, 31, 164, true);
  CreateSkinnedButton(btnAgreement, IDC_AGREEMENT, 126, 289, 37, 31, 158, true);
  CreateSkinnedButton(btnCustom, IDC_CUSTOM, 358, 289, 37, 31, 161, true);

  hwndAgree = CreateWindowExA(0, "button", "", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 24, 289, 13, 13, hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_AGREE)), instance, nullptr);
  CheckDlgButton(hwnd, IDC_AGREE, BST_CHECKED);

  CreateSkinnedButton(btnChange, IDC_CHANGE, 370, 94, 37, 31, 171, true);
  CreateSkinnedButton(btnRestoreDefault, IDC_RESTORE_DEFAULT, 339, 157, 37, 31, 162, true);
  CreateSkinnedButton(btnBack, IDC_BACK, 393, 289, 37, 31, 159, true);

  hwndPath = CreateWindowExA(0, "edit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 106, 98, 250, 20, hwnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PATH)), instance, nullptr);
  // The window keeps the font for the life of the edit.
  HFONT pathFont = CreateFontA(14, 7, 0, 0, 400, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, PROOF_QUALITY,
                               FIXED_PITCH | FF_MODERN, "宋体");
  SendMessageA(hwndPath, WM_SETFONT, reinterpret_cast<WPARAM>(pathFont), TRUE);
  CentreEditLine();

  CreateSkinnedButton(btnCancel, IDC_CANCEL_INSTALL, 384, 289, 37, 31, 160, true);

  hwndProgress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 18, 259, 419, 19, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)), instance, nullptr);
  SendMessageA(hwndProgress, PBM_SETRANGE32, 0, 100);
  SendMessageA(hwndProgress, PBM_SETPOS, 0, 0);

  statusRect = {18, 232, 318, 247};
  percentRect = {300, 232, 436, 247};

  char drive[kPathSize];
  int driveSize = sizeof drive;
  GetSystemDrive(drive, driveSize);
  // A game name too long for the default path is as unusable as a missing
  // manifest: cutting it would install somewhere the player never chose.
  if (!task.LoadSetupManifest(downloadServer) || !FormatDefaultPath(paths.defaultPath, drive, task.gameName)) {
    task.host->ShowMessageBox(hwnd, "无法连接网络", "退出", MB_OK);
    PostQuitMessage(0);
    return false;
  }

  SendMessageA(hwndPath, EM_LIMITTEXT, 259 - strlen(task.gameName), 0);
  memcpy(paths.installPath, paths.defaultPath, sizeof paths.installPath);
  SetWindowTextA(hwndPath, paths.installPath);

  WriteChannelConfig(paths.installPath, portalServer);

  LoadPicture(imgBackground, 154);
  LoadPicture(imgBanner, 155);
  for (int i = 0; i < kSlideCount; ++i) LoadPicture(imgSlides[i], 166 + i);

  PlaceWindow();
  slideIndex = 0;
  int free = GetFreeSpaceKB(paths.defaultPath);
  paths.freeKB = free < 0 ? 0 : free;
  requiredKB = task.sizeKB;
  page = 0;
  ShowPage();
  return true;
}

void MainWindow::ShowPage() {
  const HWND all[] = {btnInstall.m_hWnd, btnAgreement.m_hWnd,      btnCustom.m_hWnd, hwndAgree,    btnChange.m_hWnd,
                      btnRestoreDefault.m_hWnd, btnBack.m_hWnd, hwndPath,         hwndProgress, btnCancel.m_hWnd};
  for (HWND control : all) ShowWindow(control, SW_HIDE);
  KillTimer(hwnd, kSlideTimer);
  if (page == 0) {
    for (HWND control : {btnInstall.m_hWnd, btnAgreement.m_hWnd, btnCustom.m_hWnd, hwndAgree})
      ShowWindow(control, SW_SHOW);
  } else if (page == 1) {
    for (HWND control : {btnChange.m_hWnd, btnRestoreDefault.m_hWnd, btnBack.m_hWnd, hwndPath, btnInstall.m_hWnd})
      ShowWindow(control, SW_SHOW);
  } else if (page == 2) {
    slideIndex = 0;
    for (HWND control : {hwndProgress, btnCancel.m_hWnd}) ShowWindow(control, SW_SHOW);
    SetTimer(hwnd, kSlideTimer, 5000, nullptr);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
}

void GetSystemDrive(char* buffer, int& size) {
  if (size < 4) {
    size = 4;
    return;
  }
  memset(buffer, 0, static_cast<size_t>(size));
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, sizeof system);
  memcpy(buffer, system, 3);
}

int GetFreeSpaceKB(const char* path) {
  // An empty field names no drive; without this Wine would answer for the current one.
  if (!path || !path[0]) return -1;
  char drive[3] = {path[0], path[1], '\0'};
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(drive, &available, nullptr, nullptr)) return -1;
  return FreeSpaceKibFromBytes(available.QuadPart);
}
