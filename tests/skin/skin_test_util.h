#pragma once
// Helpers shared by the skin tests: pictures from this executable's
// resources, 32-bit canvases to draw into and read back, a parent window.
#include <windows.h>

#include <vector>

#include "system/scoped_win.h"
#include "ui/image.h"

// Loads picture `id` of type "PNG" from this executable; false when absent.
inline bool LoadPicture(int id, Image& image) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(id), "PNG");
  if (!res) return false;
  LoadPngFromResource(self, res, image);
  return !image.IsNull();
}

// A memory context over a 32-bit DIB, filled with one colour.
class Canvas {
 public:
  Canvas(int w, int h, COLORREF fill) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    old_ = SelectObject(dc_.get(), bitmap_.get());
    Fill(fill);
  }
  ~Canvas() { SelectObject(dc_.get(), old_); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void Fill(COLORREF c) {
    BITMAP bm;
    GetObject(bitmap_.get(), sizeof(bm), &bm);
    RECT all = {0, 0, bm.bmWidth, bm.bmHeight};
    ScopedBrush brush(CreateSolidBrush(c));
    FillRect(dc_.get(), &all, brush.get());
  }
  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_.get(), x, y); }

 private:
  ScopedMemoryDc dc_;
  ScopedBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
};

// A visible top-level window that records the WM_COMMANDs its children send.
class ParentWindow {
 public:
  explicit ParentWindow(int w = 300, int h = 200, DWORD extraStyle = 0) {
    static ATOM atom = [] {
      WNDCLASSEXA wc = {sizeof(wc)};
      wc.lpfnWndProc = &ParentWindow::Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      wc.lpszClassName = "SkinTestParent";
      return RegisterClassExA(&wc);
    }();
    (void)atom;
    hwnd_ = CreateWindowExA(0, "SkinTestParent", "skin test", WS_POPUP | WS_VISIBLE | extraStyle, 0, 0, w, h, nullptr, nullptr,
                            GetModuleHandleA(nullptr), this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Pump();
  }
  ~ParentWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  ParentWindow(const ParentWindow&) = delete;
  ParentWindow& operator=(const ParentWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  // A plain child button as the main window makes them: empty caption, WS_CHILD | WS_VISIBLE.
  HWND AddButton(int id, int x, int y, int w = 37, int h = 31) {
    return CreateWindowExA(0, "button", "", WS_CHILD | WS_VISIBLE, x, y, w, h, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  std::vector<WPARAM> commands;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<ParentWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_COMMAND && self) self->commands.push_back(wp);
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  HWND hwnd_ = nullptr;
};
