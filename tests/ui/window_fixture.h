#pragma once
// The real main window, created in the test process against a manifest the
// test server serves, with a host that records boxes and debugger lines.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/host.h"
#include "ui/main_window.h"

struct RecordedBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

// Posts for real; boxes are recorded and answered with OK at once.
class RecordingHost final : public Host {
 public:
  void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) override;
  void DebugString(const char* line) override;
  void WriteStdout(const char* text) override;

  std::vector<RecordedBox> Boxes();
  std::vector<std::string> Lines();
  void Clear();

 private:
  std::mutex mutex_;  // the worker thread reports too
  std::vector<RecordedBox> boxes_;
  std::vector<std::string> lines_;
};

// Unix path of the test server's web root etc. as a Wine path.
std::string WinePath(const char* unixPath);
std::string ServerUrl();
std::string ServerRoot();
std::string RequestLog();
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// A [setup] section with the given game name and size line ("" leaves size out).
std::string Manifest(const std::string& gameName, const std::string& sizeLine, const std::string& extra = "");

class WindowTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Serves `manifest` and creates the window; the result of Create.
  bool CreateWindowWith(const std::string& manifest);
  bool CreateDefault() { return CreateWindowWith(Manifest("星辰之门", "size=1536")); }
  // Dispatches what is queued; true when a quit message was among it.
  // quitSeen keeps it too, for a quit swallowed by a Command's own pump.
  bool Pump();
  // Whether the control has WS_VISIBLE itself (the main window stays hidden in tests).
  std::vector<int> VisibleControls();
  void Command(int id, int code = 0);
  // Replaces the path field's text as typing would (EN_CHANGE reaches the window).
  void TypePath(const std::string& text);
  std::string FieldText();

  RecordingHost host;
  std::unique_ptr<MainWindow> window;
  HWND hwnd = nullptr;
  bool quitSeen = false;
};

// The window's client area as OnPaint composes it, as COLORREFs, row by row.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Picture Render(MainWindow& window);
