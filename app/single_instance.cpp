#include "app/single_instance.h"

bool ClaimSingleInstance(Host& host, ScopedKernelHandle& mutex, const char* name) {
  ScopedKernelHandle created(CreateMutexA(nullptr, FALSE, name));
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    created.reset();
    host.ShowMessageBox(nullptr, "应用程序已经在运行！", "提示", MB_OK | MB_ICONERROR);
    return false;
  }
  mutex = std::move(created);
  return true;
}
