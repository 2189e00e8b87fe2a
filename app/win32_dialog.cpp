#include "app/win32_dialog.h"

#include <cstdio>

namespace {

WindowMap* g_windowMap = nullptr;

}  // namespace

WindowMap& GetWindowMap() {
  if (!g_windowMap) g_windowMap = new WindowMap;
  return *g_windowMap;
}

kwWin32Dialog* FindWindowObject(WindowMap& map, HWND hwnd) {
  auto it = map.find(hwnd);
  return it == map.end() ? nullptr : it->second;
}

size_t RemoveWindowObject(WindowMap& map, HWND hwnd) { return map.erase(hwnd); }

void DestroyWindowMap() {
  delete g_windowMap;
  g_windowMap = nullptr;
}

kwWin32Dialog::kwWin32Dialog(HINSTANCE instance) : instance(instance) {}

kwWin32Dialog::~kwWin32Dialog() {
  if (hwnd) RemoveWindowObject(GetWindowMap(), hwnd);
}

bool kwWin32Dialog::Create(const char* className, const char* title, DWORD style, RECT rect) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = StaticWndProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(107));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  wc.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(108));
  // A failed registration shows up as a failed creation.
  RegisterClassExA(&wc);

  HWND created = CreateWindowExA(0, className, title, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, rect.right, rect.bottom,
                                 nullptr, nullptr, instance, nullptr);
  if (!created) return false;
  hwnd = created;
  GetWindowMap()[hwnd] = this;

  if (!OnCreate()) return false;
  ShowWindow(hwnd, (style & WS_VISIBLE) ? SW_SHOWNORMAL : SW_HIDE);
  UpdateWindow(hwnd);
  return true;
}

LRESULT kwWin32Dialog::DragStripHitTest() const {
  RECT client;
  GetClientRect(hwnd, &client);
  POINT corner = {client.left, client.top};
  ClientToScreen(hwnd, &corner);
  RECT strip = {corner.x, corner.y, corner.x + (client.right - client.left), corner.y + 20};
  // The cursor, not lParam: the strip follows what the player holds now.
  POINT cursor;
  GetCursorPos(&cursor);
  if (cursor.x >= strip.left && cursor.x <= strip.right && cursor.y >= strip.top && cursor.y <= strip.bottom)
    return HTCAPTION;
  return 0;
}

LRESULT kwWin32Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      OnPaint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCHITTEST:
      return DragStripHitTest();
    case WM_CREATE:
      return 0;
    case WM_TIMER:
      OnTimer(LOWORD(wParam));
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

int kwWin32Dialog::OnTimer(UINT) { return 0; }
int kwWin32Dialog::OnPaint(HDC) { return 0; }
bool kwWin32Dialog::OnCreate() { return true; }

LRESULT CALLBACK kwWin32Dialog::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (kwWin32Dialog* object = FindWindowObject(GetWindowMap(), hwnd)) return object->HandleMessage(message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      fputs("1111", stdout);
      fflush(stdout);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}
