#pragma once
#include <windows.h>

#include "app/install_task.h"

// Fills the task, creates the install directory and starts the worker.
void BeginInstallThread(InstallTask& task, HWND hwnd, const char* path);
DWORD WINAPI InstallThreadProc(LPVOID task);
