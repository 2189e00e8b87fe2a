#pragma once
// The record shared by the main window and the worker thread, and the two
// messages by which the worker side reports to the window.
#include <windows.h>

#include <atomic>
#include <string>

#include "app/host.h"

enum InstallStatus {
  STATUS_ERROR = 0,
  STATUS_NONE = 1,
  STATUS_READING_CONFIG = 2,
  STATUS_GETTING_VERSION = 3,
  STATUS_DOWNLOADING = 4,
  STATUS_STARTING_INSTALL = 5,
  STATUS_INSTALLING = 6,
  STATUS_COMPLETE = 7,
};
constexpr int kStatusCount = 8;
extern const char* const StatusTexts[kStatusCount];

constexpr UINT WM_INSTALL_PROGRESS = 20000;
constexpr UINT WM_INSTALL_STATUS = 20001;

struct InstallTask {
  HWND hwnd = nullptr;
  HANDLE thread = nullptr;
  char installDir[522] = {};
  char errorText[261] = {};
  std::atomic<bool> cancel{false};
  char gameName[260] = {};
  char productTitle[260] = {};
  int sizeKB = -1;
  char urlAgreement[260] = {};
  char uninstName[260] = {};
  char publisher[260] = {};
  char contact[260] = {};
  char exeFileName[260] = {};
  std::string manifestPath;
  Host* host = &SystemHost();

  // Fetches the setup manifest from `serverBase` + "/update/vantrel.txt"
  // (the configured download server by default) and reads [setup].
  bool LoadSetupManifest(const char* serverBase = nullptr);
  // The whole installation; runs on the worker thread.
  void RunInstall();

  // Both messages are posted (never sent) to hwnd with wParam 0.
  void PostProgress(int percent) { host->Post(hwnd, WM_INSTALL_PROGRESS, 0, percent); }
  void PostStatus(int code) { host->Post(hwnd, WM_INSTALL_STATUS, 0, code); }
  // Modal box on the calling thread: caption "错误", OK, no icon, owner hwnd.
  void ShowErrorBox(const char* text);
};
