// The sample game: one window titled with the product title, so that the
// installer and the uninstaller can find and close it. Each start and each
// close is appended to a log, so that a test can see them:
//   VANTREL_GAME_LOG   the log file (default: started.txt beside the program)
//   VANTREL_GAME_TITLE the window title (default: the first line of
//                      title.txt beside the program, else the built-in title)
#include <windows.h>

#include <cstdio>
#include <cstring>

#ifndef SAMPLE_GAME_TITLE
#define SAMPLE_GAME_TITLE "Corvel 示例游戏"
#endif

namespace {

char g_title[260] = SAMPLE_GAME_TITLE;
char g_log[MAX_PATH] = {};

// The folder of this program with a trailing backslash, or empty.
void ProgramFolder(char* out, DWORD size) {
  out[0] = '\0';
  DWORD n = GetModuleFileNameA(nullptr, out, size);
  if (n == 0 || n >= size) {
    out[0] = '\0';
    return;
  }
  char* slash = strrchr(out, '\\');
  if (slash) slash[1] = '\0';
}

void ChooseTitleAndLog() {
  char folder[MAX_PATH];
  ProgramFolder(folder, MAX_PATH);
  DWORD n = GetEnvironmentVariableA("VANTREL_GAME_TITLE", g_title, sizeof g_title);
  if (n == 0 || n >= sizeof g_title) {
    snprintf(g_title, sizeof g_title, "%s", SAMPLE_GAME_TITLE);
    char path[MAX_PATH + 16];
    snprintf(path, sizeof path, "%stitle.txt", folder);
    if (FILE* f = fopen(path, "rb")) {
      char line[260] = {};
      if (fgets(line, sizeof line, f)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (line[0]) snprintf(g_title, sizeof g_title, "%s", line);
      }
      fclose(f);
    }
  }
  n = GetEnvironmentVariableA("VANTREL_GAME_LOG", g_log, sizeof g_log);
  if (n == 0 || n >= sizeof g_log) snprintf(g_log, sizeof g_log, "%sstarted.txt", folder);
}

void AppendLog(const char* line) {
  if (FILE* f = fopen(g_log, "ab")) {
    fputs(line, f);
    fputs("\r\n", f);
    fclose(f);
  }
}

LRESULT CALLBACK GameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      DrawTextA(dc, g_title, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      AppendLog("closed");
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  ChooseTitleAndLog();
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  char line[3 * MAX_PATH];
  snprintf(line, sizeof line, "started exe=%s cwd=%s", exe, cwd);
  AppendLog(line);

  WNDCLASSA wc = {};
  wc.lpfnWndProc = GameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "VantrelSampleGame";
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowA(wc.lpszClassName, g_title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 480, 320,
                            nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
