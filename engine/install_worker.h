#pragma once
// The install worker: update list, package download, unpacking, registration,
// shortcuts, uninstall.ini and the game's start.
#include <windows.h>

#include "app/install_task.h"

struct WorkerLimits {
  int downloadAttempts = 10000;  // failed package downloads before giving up
  DWORD retryPauseMs = 500;
  int damagedDownloads = 3;      // complete downloads that failed the list's check
  UINT closeGameTimeoutMs = 10000;
};

// InstallTask::RunInstall with the product's limits; tests pass smaller ones.
void RunInstallWith(InstallTask& task, const WorkerLimits& limits);
