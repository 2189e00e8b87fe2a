#pragma once
// WinINet and winmm, bound at run time from the system directory, and the
// owner type for Internet handles.
#include <windows.h>
#include <wininet.h>

#include "system/scoped_handle.h"

struct WinInetApi {
  decltype(&InternetGetConnectedState) getConnectedState = nullptr;
  decltype(&InternetOpenA) open = nullptr;
  decltype(&InternetOpenUrlA) openUrl = nullptr;
  decltype(&InternetReadFile) readFile = nullptr;
  decltype(&InternetCloseHandle) closeHandle = nullptr;
  decltype(&InternetGetLastResponseInfoA) lastResponseInfo = nullptr;
  decltype(&HttpQueryInfoA) queryInfo = nullptr;
  DWORD(WINAPI* timeGetTime)() = nullptr;
  bool complete = false;  // every entry point was found
};

// Bound once, on first use; safe from both threads.
const WinInetApi& WinInet();

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { WinInet().closeHandle(h); }
};
using ScopedInternet = ScopedHandle<InternetHandleTraits>;
