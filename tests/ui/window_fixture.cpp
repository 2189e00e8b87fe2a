#include "tests/ui/window_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/common_controls.h"

void RecordingHost::Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  PostMessageA(hwnd, message, wParam, lParam);
}

int RecordingHost::ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  std::lock_guard<std::mutex> lock(mutex_);
  boxes_.push_back({owner, text, caption, type});
  return IDOK;
}

void RecordingHost::DebugString(const char* line) {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.push_back(line);
}

void RecordingHost::WriteStdout(const char*) {}

std::vector<RecordedBox> RecordingHost::Boxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

std::vector<std::string> RecordingHost::Lines() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

void RecordingHost::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  boxes_.clear();
  lines_.clear();
}

std::string WinePath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

namespace {

std::string Env(const char* name) {
  const char* value = getenv(name);
  return value ? value : "";
}

}  // namespace

std::string ServerUrl() { return Env("VANTREL_TEST_SERVER"); }
std::string ServerRoot() { return WinePath(Env("VANTREL_TEST_ROOT").c_str()); }
std::string RequestLog() { return WinePath(Env("VANTREL_TEST_LOG").c_str()); }

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    fclose(f);
  }
  return bytes;
}

std::string Manifest(const std::string& gameName, const std::string& sizeLine, const std::string& extra) {
  std::string m = "[setup]\r\ngamename=" + gameName + "\r\nexefilename=StarGate.exe\r\nProductTitle=" + gameName + "\r\n";
  if (!sizeLine.empty()) m += sizeLine + "\r\n";
  m += "urlAgreement=http://127.0.0.1:9/agreement\r\nuninstname=uninst.exe\r\nPublisher=Corvel\r\nContact=x\r\n";
  return m + extra;
}

bool WindowTest::CreateWindowWith(const std::string& manifest) {
  EXPECT_TRUE(InitCommonControlsAtRunTime());
  CreateDirectoryA((ServerRoot() + "\\update").c_str(), nullptr);
  WriteFile(ServerRoot() + "\\update\\vantrel.txt", manifest);
  window = std::make_unique<MainWindow>(GetModuleHandleA(nullptr));
  window->task.host = &host;
  static std::string server;
  server = ServerUrl();
  window->downloadServer = server.c_str();
  window->portalServer = server.c_str();
  bool created = window->Create("VantrelTestWindow", "VantrelTestWindow", 0, {0, 0, 455, 325});
  hwnd = window->hwnd;
  return created;
}

void WindowTest::TearDown() {
  // A worker thread may still report; give it nothing to report to.
  window.reset();
  if (hwnd) DestroyWindow(hwnd);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

bool WindowTest::Pump() {
  bool quit = false;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      quitSeen = true;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return quit;
}

namespace {

BOOL CALLBACK CollectVisible(HWND child, LPARAM lParam) {
  if (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) reinterpret_cast<std::vector<int>*>(lParam)->push_back(GetDlgCtrlID(child));
  return TRUE;
}

}  // namespace

std::vector<int> WindowTest::VisibleControls() {
  std::vector<int> ids;
  EnumChildWindows(hwnd, CollectVisible, reinterpret_cast<LPARAM>(&ids));
  std::sort(ids.begin(), ids.end());
  return ids;
}

void WindowTest::Command(int id, int code) {
  SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, code), 0);
  Pump();
}

void WindowTest::TypePath(const std::string& text) {
  SendMessageA(window->hwndPath, EM_SETSEL, 0, -1);
  SendMessageA(window->hwndPath, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  Pump();
}

std::string WindowTest::FieldText() {
  char text[1024] = {};
  GetWindowTextA(window->hwndPath, text, sizeof text);
  return text;
}

Picture Render(MainWindow& window) {
  RECT client;
  GetClientRect(window.hwnd, &client);
  Picture picture;
  // A minimised window has no client area; paint over the window's own size then.
  picture.width = client.right > 0 ? client.right : 455;
  picture.height = client.bottom > 0 ? client.bottom : 325;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  // Something OnPaint must cover everywhere.
  memset(bits, 0x11, static_cast<size_t>(picture.width) * picture.height * 4);
  window.OnPaint(dc);
  GdiFlush();
  const unsigned char* p = static_cast<const unsigned char*>(bits);
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4]);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return picture;
}
