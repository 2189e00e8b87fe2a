// What the window does with the worker's two posted messages.
#include "ui/main_window.h"

#include <commctrl.h>

#include <cstdio>

#include "net/http_client.h"

namespace {

void LogLine(Host& host, const char* what, int value) {
  char line[64];
  snprintf(line, sizeof line, "online_log %s %d", what, value);
  host.DebugString(line);
}

}  // namespace

void MainWindow::OnProgress(int percent) {
  if (percent != progress) LogLine(*task.host, "progress", percent);
  progress = percent;
  InvalidateRect(hwnd, &percentRect, TRUE);
  PostMessageA(hwndProgress, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

int MainWindow::OnInstallStatus(int code) {
  LogLine(*task.host, "status", code);
  // The code indexes the text table; anything else posted to us is not ours.
  if (code < 0 || code >= kStatusCount) return 0;
  statusCode = code;
  statusText = StatusTexts[code];
  InvalidateRect(hwnd, &statusRect, TRUE);
  if (code == STATUS_ERROR) {
    PostQuitMessage(0);
  } else if (code == STATUS_COMPLETE) {
    SendCompletionReport(*task.host, portalServer);
    PostQuitMessage(0);
  }
  return 0;
}
