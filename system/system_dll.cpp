#include "system/system_dll.h"

#include <cstdio>
#include <cstring>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void RestrictDllSearchToSystem() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  using SetDirs = BOOL(WINAPI*)(DWORD);
  auto setDirs = reinterpret_cast<SetDirs>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDirs) setDirs(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Older systems: at least take the current directory out of the search.
  using SetDir = BOOL(WINAPI*)(LPCSTR);
  auto setDir = reinterpret_cast<SetDir>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDir) setDir("");
}

HMODULE LoadSystemDll(const char* name) {
  char path[MAX_PATH];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  // A full path never consults the search order, whatever the system version.
  if (n + 1 + strlen(name) >= MAX_PATH) return nullptr;
  snprintf(path + n, MAX_PATH - n, "\\%s", name);
  if (HMODULE already = GetModuleHandleA(path)) return already;
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemProcAddress(const char* dll, const char* proc) {
  HMODULE module = LoadSystemDll(dll);
  return module ? GetProcAddress(module, proc) : nullptr;
}
