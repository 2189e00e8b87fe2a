#pragma once
// The installer runs elevated, often from a downloads folder: DLLs that are
// not among the system's known DLLs are bound at run time, from the system
// directory only, so a planted copy beside the executable is never loaded.
#include <windows.h>

// Restricts the process's DLL search to the system directory where the
// system offers it (looked up at run time). The entry calls it first.
void RestrictDllSearchToSystem();

// Loads `name` (for example "wininet.dll") from the system directory; the
// module stays loaded for the life of the process. Null when absent.
HMODULE LoadSystemDll(const char* name);

// The address of `proc` in the system copy of `dll`, or null.
FARPROC SystemProcAddress(const char* dll, const char* proc);

// Typed form: auto f = SystemProc<decltype(&InternetOpenA)>("wininet.dll", "InternetOpenA");
template <class F>
F SystemProc(const char* dll, const char* proc) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(SystemProcAddress(dll, proc)));
}
