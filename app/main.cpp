// The installer's entry: one copy per machine, one window, one message loop.
#include <windows.h>

#include <cstdio>

#include "app/brand.h"
#include "app/single_instance.h"
#include "res/resource.h"
#include "system/system_dll.h"
#include "ui/common_controls.h"
#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before anything can load a DLL: the installer runs elevated from a downloads folder.
  RestrictDllSearchToSystem();

  ScopedKernelHandle mutex;
  if (!ClaimSingleInstance(SystemHost(), mutex)) return 0;
  InitCommonControlsAtRunTime();

  int exitCode = 0;
  {
    MainWindow window(instance);
    char title[256];
    snprintf(title, sizeof title, "%s在线安装", kPlatformBrand);
    window.Create(title, title, WS_VISIBLE | WS_OVERLAPPEDWINDOW, {0, 0, 455, 325});
    // Without a window nothing would ever post the quit message.
    if (!window.hwnd) {
      DestroyWindowMap();
      return 0;
    }

    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDC_VANTREL));
    MSG msg = {};
    // -1 is an error, not a message: it ends the loop instead of spinning on it.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (!TranslateAcceleratorA(msg.hwnd, accelerators, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    DestroyWindowMap();
    exitCode = static_cast<int>(msg.wParam);
  }
  return exitCode;
}
