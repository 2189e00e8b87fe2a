/* Stands in for a DLL planted beside the installer: being loaded leaves a
   file "<its own path>.loaded". */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      lstrcatA(path, ".loaded");
      HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
      if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
  }
  return TRUE;
}

__declspec(dllexport) void CALLBACK Touch(HWND hwnd, HINSTANCE instance, LPSTR line, int show) {
  (void)hwnd; (void)instance; (void)line; (void)show;
}
