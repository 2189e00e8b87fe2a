#pragma once
// The installer's one window: three pages on one skinned background, the
// controls of each page, and what it does with the worker's messages.
#include <windows.h>

#include "app/install_task.h"
#include "app/win32_dialog.h"
#include "build_config.h"
#include "ui/image.h"
#include "ui/install_path.h"
#include "ui/win_button.h"

// Control identifiers.
enum : int {
  IDC_CANCEL_INSTALL = 1000,
  IDC_CLOSE = 1001,
  IDC_PROGRESS = 1002,
  IDC_MINIMIZE = 1003,
  IDC_INSTALL = 1004,
  IDC_AGREEMENT = 1005,
  IDC_CUSTOM = 1006,
  IDC_AGREE = 1007,
  IDC_CHANGE = 1008,
  IDC_RESTORE_DEFAULT = 1009,
  IDC_BACK = 1010,
  IDC_PATH = 1011,
};
constexpr UINT kSlideTimer = 1001;
constexpr int kSlideCount = 5;

class MainWindow : public kwWin32Dialog {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  int OnTimer(UINT id) override;
  int OnPaint(HDC dc) override;
  bool OnCreate() override;

  void ShowPage();
  int OnInstallStatus(int code);
  int OnCommand(WPARAM wParam);
  void StartInstall();
  void OnAgreeClicked();
  void OnBrowse();
  void OnPathChanged();
  void ComposeInstallPath(const char* path);

  HWND hwndProgress = nullptr;
  HWND hwndAgree = nullptr;
  HWND hwndPath = nullptr;
  CWINButton btnCancel;
  CWINButton btnClose;
  CWINButton btnMinimize;
  CWINButton btnInstall;
  CWINButton btnAgreement;
  CWINButton btnCustom;
  CWINButton btnRestoreDefault;
  CWINButton btnChange;
  CWINButton btnBack;
  Image imgBackground;
  Image imgBanner;
  Image imgSlides[kSlideCount];
  int page = 0;
  char agreeLabel[32];
  int slideIndex = 0;
  int statusCode = STATUS_READING_CONFIG;
  int requiredKB = 16773;
  int progress = 0;
  InstallTask task;
  const char* statusText = StatusTexts[STATUS_READING_CONFIG];
  RECT statusRect = {};
  RECT percentRect = {};
  // defaultPath, installPath, freeKB and pathInvalid.
  InstallPathState paths;

  // Where the manifest and the reports go; tests point them at a test server.
  const char* downloadServer = VANTREL_DOWNLOAD_SERVER;
  const char* portalServer = VANTREL_PORTAL_SERVER;

 private:
  void PaintWelcomePage(HDC dc);
  void PaintCustomPage(HDC dc);
  void PaintProgressPage(HDC dc);
  void OnProgress(int percent);
  bool CreateSkinnedButton(CWINButton& button, int id, int x, int y, int w, int h, int picture, bool hand);
  void LoadPicture(Image& image, int id);
  void CentreEditLine();
  void PlaceWindow();
};

// Root of the system drive, e.g. "C:\"; a size below 4 is raised to 4 and nothing is written.
void GetSystemDrive(char* buffer, int& size);
// Free space of the drive named by the path's first two characters in KiB
// (at most INT_MAX), or -1 when it cannot be queried.
int GetFreeSpaceKB(const char* path);
