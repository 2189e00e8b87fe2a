#pragma once
// Where the worker side's output goes: posted window messages, message boxes,
// debugger lines and standard output. The product uses SystemHost(); tests
// hand an InstallTask a recording host of their own.
#include <windows.h>

class Host {
 public:
  virtual void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  virtual int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) = 0;
  virtual void DebugString(const char* line) = 0;
  virtual void WriteStdout(const char* text) = 0;

 protected:
  ~Host() = default;
};

// PostMessageA, MessageBoxA, OutputDebugStringA, stdout.
Host& SystemHost();
