// Drives the installer's window from another process in the same Wine
// session, for tests and the demo. Commands run in the order given:
//   wait MS | state | waitgone MS | rect | visible | enabled ID | checked ID
//   click ID | command ID [CODE] | type TEXT | settext TEXT | gettext ID
//   post MSG WPARAM LPARAM | box MS | ok | nobox MS | sleep MS
// Each prints one line on stdout; exit code 1 when any command failed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/brand.h"

namespace {

std::string WindowTitle() { return std::string(kPlatformBrand) + "在线安装"; }

HWND FindMain() {
  std::string title = WindowTitle();
  return FindWindowA(title.c_str(), title.c_str());
}

// Lets the window's thread finish what the last posted message started; a
// modal box still answers sent messages from its own loop.
void Settle(HWND window) {
  DWORD_PTR result;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result);
  Sleep(50);
}

template <class Pred>
bool WaitFor(int ms, Pred pred) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (static_cast<int>(GetTickCount() - start) >= ms) return false;
    Sleep(50);
  }
}

struct BoxSearch {
  DWORD ownProcess;
  HWND found;
};

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<BoxSearch*>(lParam);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd) && pid != search->ownProcess) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindBox() {
  BoxSearch search = {GetCurrentProcessId(), nullptr};
  EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The message box's icon, judged by its pixels on screen: the error icon is red.
const char* IconKind(HWND icon) {
  if (!icon || !IsWindowVisible(icon)) return "none";
  RECT r;
  GetWindowRect(icon, &r);
  HDC screen = GetDC(nullptr);
  int red = 0, yellow = 0, blue = 0, total = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      COLORREF c = GetPixel(screen, x, y);
      if (c == CLR_INVALID) continue;
      int cr = GetRValue(c), cg = GetGValue(c), cb = GetBValue(c);
      ++total;
      if (cr > 160 && cg < 90 && cb < 90) ++red;
      if (cr > 180 && cg > 150 && cb < 90) ++yellow;
      if (cb > 150 && cr < 100) ++blue;
    }
  }
  ReleaseDC(nullptr, screen);
  if (total == 0) return "none";
  if (red * 10 > total) return "error";
  if (yellow * 10 > total) return "warning";
  if (blue * 10 > total) return "information";
  return "other";
}

struct BoxInfo {
  std::string caption;
  std::string text;
  const char* icon = "none";
};

BOOL CALLBACK BoxChildProc(HWND child, LPARAM lParam) {
  auto* info = reinterpret_cast<BoxInfo*>(lParam);
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (_stricmp(cls, "Static") != 0) return TRUE;
  LONG style = GetWindowLongA(child, GWL_STYLE);
  if ((style & SS_TYPEMASK) == SS_ICON) {
    if (SendMessageA(child, STM_GETICON, 0, 0)) info->icon = IconKind(child);
    return TRUE;
  }
  char text[1024] = {};
  GetWindowTextA(child, text, sizeof text);
  if (text[0] && info->text.empty()) info->text = text;
  return TRUE;
}

BoxInfo ReadBox(HWND box) {
  BoxInfo info;
  char caption[512] = {};
  GetWindowTextA(box, caption, sizeof caption);
  info.caption = caption;
  EnumChildWindows(box, BoxChildProc, reinterpret_cast<LPARAM>(&info));
  return info;
}

BOOL CALLBACK VisibleProc(HWND child, LPARAM lParam) {
  if (IsWindowVisible(child)) reinterpret_cast<std::vector<int>*>(lParam)->push_back(GetDlgCtrlID(child));
  return TRUE;
}

bool NeedMain(HWND& main) {
  if (!main) main = FindMain();
  if (!main) printf("error no window\n");
  return main != nullptr;
}

HWND Control(HWND main, const char* id) {
  HWND control = GetDlgItem(main, atoi(id));
  if (!control) printf("error no control %s\n", id);
  return control;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  bool ok = true;
  HWND main = nullptr;
  for (int i = 1; i < argc; ++i) {
    std::string cmd = argv[i];
    auto arg = [&](const char* fallback) -> const char* { return i + 1 < argc ? argv[++i] : fallback; };
    if (cmd == "wait") {
      int ms = atoi(arg("10000"));
      bool found = WaitFor(ms, [&] {
        main = FindMain();
        return main && IsWindowVisible(main);
      });
      if (found) {
        printf("window visible\n");
      } else {
        printf("timeout\n");
        ok = false;
      }
    } else if (cmd == "state") {
      main = FindMain();
      printf("window %s\n", !main ? "none" : IsWindowVisible(main) ? "visible" : "hidden");
    } else if (cmd == "waitgone") {
      int ms = atoi(arg("10000"));
      if (WaitFor(ms, [] { return FindMain() == nullptr; })) {
        printf("gone\n");
        main = nullptr;
      } else {
        printf("timeout\n");
        ok = false;
      }
    } else if (cmd == "rect") {
      if (!NeedMain(main)) { ok = false; continue; }
      RECT r;
      GetWindowRect(main, &r);
      printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (cmd == "visible") {
      if (!NeedMain(main)) { ok = false; continue; }
      std::vector<int> ids;
      EnumChildWindows(main, VisibleProc, reinterpret_cast<LPARAM>(&ids));
      std::sort(ids.begin(), ids.end());
      printf("visible");
      for (int id : ids) printf(" %d", id);
      printf("\n");
    } else if (cmd == "enabled" || cmd == "checked") {
      const char* id = arg("0");
      if (!NeedMain(main)) { ok = false; continue; }
      HWND control = Control(main, id);
      if (!control) { ok = false; continue; }
      int value = cmd == "enabled" ? IsWindowEnabled(control) != FALSE
                                   : SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
      printf("%s %s %d\n", cmd.c_str(), id, value);
    } else if (cmd == "click") {
      const char* id = arg("0");
      if (!NeedMain(main)) { ok = false; continue; }
      HWND control = Control(main, id);
      if (!control) { ok = false; continue; }
      // Posted: the click may open a modal box.
      PostMessageA(control, BM_CLICK, 0, 0);
      Settle(main);
      printf("clicked %s\n", id);
    } else if (cmd == "command") {
      const char* id = arg("0");
      int code = i + 1 < argc && isdigit(static_cast<unsigned char>(argv[i + 1][0])) ? atoi(argv[++i]) : 0;
      if (!NeedMain(main)) { ok = false; continue; }
      PostMessageA(main, WM_COMMAND, MAKEWPARAM(atoi(id), code), 0);
      Settle(main);
      printf("command %s\n", id);
    } else if (cmd == "type" || cmd == "settext") {
      const char* text = arg("");
      if (!NeedMain(main)) { ok = false; continue; }
      HWND edit = GetDlgItem(main, 1011);
      DWORD_PTR result;
      if (cmd == "type") {
        // As the player would: the edit tells its parent about the change.
        SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, 3000, &result);
        SendMessageTimeoutA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 3000, &result);
      } else {
        SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 3000, &result);
      }
      Settle(main);
      printf("%s ok\n", cmd.c_str());
    } else if (cmd == "gettext") {
      const char* id = arg("0");
      if (!NeedMain(main)) { ok = false; continue; }
      HWND control = Control(main, id);
      if (!control) { ok = false; continue; }
      // WM_GETTEXT: GetWindowText of another process's window would only read its caption.
      char text[1024] = {};
      DWORD_PTR result;
      SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 3000, &result);
      printf("text %s\n", text);
    } else if (cmd == "post") {
      UINT message = static_cast<UINT>(strtoul(arg("0"), nullptr, 0));
      WPARAM wParam = static_cast<WPARAM>(strtoull(arg("0"), nullptr, 0));
      LPARAM lParam = static_cast<LPARAM>(strtoll(arg("0"), nullptr, 0));
      if (!NeedMain(main)) { ok = false; continue; }
      PostMessageA(main, message, wParam, lParam);
      Settle(main);
      printf("posted %u\n", message);
    } else if (cmd == "box") {
      int ms = atoi(arg("10000"));
      HWND box = nullptr;
      if (!WaitFor(ms, [&] { return (box = FindBox()) != nullptr; })) {
        printf("nobox\n");
        ok = false;
        continue;
      }
      Sleep(200);  // let it paint before its icon is judged
      BoxInfo info = ReadBox(box);
      printf("box caption=%s text=%s icon=%s\n", info.caption.c_str(), info.text.c_str(), info.icon);
    } else if (cmd == "nobox") {
      int ms = atoi(arg("1000"));
      if (WaitFor(ms, [] { return FindBox() != nullptr; })) {
        BoxInfo info = ReadBox(FindBox());
        printf("box caption=%s text=%s\n", info.caption.c_str(), info.text.c_str());
        ok = false;
      } else {
        printf("nobox\n");
      }
    } else if (cmd == "ok") {
      HWND box = FindBox();
      if (!box) {
        printf("nobox\n");
        ok = false;
        continue;
      }
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      WaitFor(3000, [&] { return !IsWindow(box); });
      printf("pressed ok\n");
    } else if (cmd == "sleep") {
      Sleep(atoi(arg("100")));
    } else {
      printf("error unknown command %s\n", cmd.c_str());
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
