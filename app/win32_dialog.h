#pragma once
// A small window framework: one window class per object, window handles led
// back to objects through a process-wide map, messages turned into calls of
// virtual operations.
#include <windows.h>

#include <cstddef>
#include <map>

class kwWin32Dialog;

// Ordered by the handle's numeric value; does not own the objects.
using WindowMap = std::map<HWND, kwWin32Dialog*>;

// Creates an empty map on first use.
WindowMap& GetWindowMap();
kwWin32Dialog* FindWindowObject(WindowMap& map, HWND hwnd);
size_t RemoveWindowObject(WindowMap& map, HWND hwnd);
// The entry drops the map after the message loop.
void DestroyWindowMap();

class kwWin32Dialog {
 public:
  explicit kwWin32Dialog(HINSTANCE instance);
  kwWin32Dialog(const kwWin32Dialog&) = delete;
  kwWin32Dialog& operator=(const kwWin32Dialog&) = delete;

  // Registers the class, creates the hidden popup, runs OnCreate and shows
  // the window only when OnCreate succeeded. The style decides visibility
  // alone; creation always uses WS_POPUP.
  virtual bool Create(const char* className, const char* title, DWORD style, RECT rect);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual int OnTimer(UINT id);
  virtual int OnPaint(HDC dc);
  // Called by Create, not from WM_CREATE: the object is not yet in the map then.
  virtual bool OnCreate();

  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd = nullptr;
  HINSTANCE instance;

 protected:
  // Not virtual: the one window object lives by value in the entry's frame.
  ~kwWin32Dialog();
  // HTCAPTION within the top 20 pixels of the client area (edges included), else 0.
  LRESULT DragStripHitTest() const;
};
