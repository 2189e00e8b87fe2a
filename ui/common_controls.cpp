#include "ui/common_controls.h"

#include <windows.h>
#include <commctrl.h>

#include "system/system_dll.h"

bool InitCommonControlsAtRunTime() {
  auto init = SystemProc<decltype(&InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
  if (!init) return false;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  return init(&controls) != FALSE;
}
