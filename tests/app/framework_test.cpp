// The window framework and the single-instance rule, in process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/single_instance.h"
#include "app/win32_dialog.h"

namespace {

class BoxRecorder final : public Host {
 public:
  void Post(HWND, UINT, WPARAM, LPARAM) override {}
  int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) override {
    owners.push_back(owner);
    texts.push_back(std::string(text) + "|" + caption);
    types.push_back(type);
    return IDOK;
  }
  void DebugString(const char*) override {}
  void WriteStdout(const char*) override {}
  std::vector<HWND> owners;
  std::vector<std::string> texts;
  std::vector<UINT> types;
};

class Dialog : public kwWin32Dialog {
 public:
  explicit Dialog(bool ok) : kwWin32Dialog(GetModuleHandleA(nullptr)), ok_(ok) {}
  ~Dialog() = default;
  bool OnCreate() override {
    visibleDuringCreate = IsWindowVisible(hwnd) != FALSE;
    return ok_;
  }
  bool visibleDuringCreate = true;

 private:
  bool ok_;
};

}  // namespace

TEST(SingleInstance, SecondCopyIsRefusedWithTheBox) {
  std::string name = "VantrelTestMutex" + std::to_string(GetCurrentProcessId());
  BoxRecorder host;
  ScopedKernelHandle first;
  ASSERT_TRUE(ClaimSingleInstance(host, first, name.c_str()));
  EXPECT_TRUE(first.valid());
  EXPECT_TRUE(host.texts.empty());

  ScopedKernelHandle second;
  EXPECT_FALSE(ClaimSingleInstance(host, second, name.c_str()));
  EXPECT_FALSE(second.valid());
  ASSERT_EQ(host.texts.size(), 1u);
  EXPECT_EQ(host.texts[0], "应用程序已经在运行！|提示");
  EXPECT_EQ(host.types[0], static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(host.owners[0], nullptr);

  // Once the first copy is gone the name is free again.
  first.reset();
  ScopedKernelHandle third;
  EXPECT_TRUE(ClaimSingleInstance(host, third, name.c_str()));
}

TEST(WindowMap, FindsAndRemovesByHandle) {
  WindowMap& map = GetWindowMap();
  EXPECT_EQ(&map, &GetWindowMap());
  Dialog dialog(true);
  HWND handle = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  EXPECT_EQ(FindWindowObject(map, handle), nullptr);
  map[handle] = &dialog;
  EXPECT_EQ(FindWindowObject(map, handle), &dialog);
  EXPECT_EQ(RemoveWindowObject(map, handle), 1u);
  EXPECT_EQ(RemoveWindowObject(map, handle), 0u);
  EXPECT_EQ(FindWindowObject(map, handle), nullptr);
  DestroyWindowMap();
  EXPECT_TRUE(GetWindowMap().empty());  // made anew on next use
}

TEST(Dialog, ShownOnlyWhenOnCreateSucceeds) {
  for (bool ok : {true, false}) {
    Dialog dialog(ok);
    EXPECT_EQ(dialog.Create("VantrelFrameworkTest", "VantrelFrameworkTest", WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                            {0, 0, 455, 325}),
              ok);
    ASSERT_NE(dialog.hwnd, nullptr);
    EXPECT_FALSE(dialog.visibleDuringCreate);
    EXPECT_EQ(IsWindowVisible(dialog.hwnd) != FALSE, ok);
    EXPECT_EQ(FindWindowObject(GetWindowMap(), dialog.hwnd), &dialog);
    RECT r;
    GetWindowRect(dialog.hwnd, &r);
    EXPECT_EQ(r.right - r.left, 455);
    EXPECT_EQ(r.bottom - r.top, 325);
    // A caption-less popup: the style argument decides visibility only.
    EXPECT_EQ(GetWindowLongA(dialog.hwnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    HWND hwnd = dialog.hwnd;
    DestroyWindow(hwnd);
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit) << "WM_DESTROY ends the loop";
  }
}

TEST(Dialog, DragStripIsTheTopTwentyRowsEdgesIncluded) {
  Dialog dialog(true);
  ASSERT_TRUE(dialog.Create("VantrelFrameworkTest", "VantrelFrameworkTest", WS_VISIBLE, {0, 0, 455, 325}));
  SetWindowPos(dialog.hwnd, nullptr, 100, 100, 455, 325, SWP_NOZORDER);
  static const struct {
    int dx, dy;
    LRESULT hit;
  } cases[] = {
      {0, 0, HTCAPTION},   {454, 0, HTCAPTION}, {455, 20, HTCAPTION}, {200, 20, HTCAPTION},
      {200, 21, 0},        {0, 200, 0},         {456, 10, 0},         {-1, 10, 0},
  };
  for (const auto& c : cases) {
    SetCursorPos(100 + c.dx, 100 + c.dy);
    POINT at;
    GetCursorPos(&at);
    if (at.x != 100 + c.dx || at.y != 100 + c.dy) GTEST_SKIP() << "the display does not move the cursor";
    // lParam is ignored: the cursor decides.
    EXPECT_EQ(SendMessageA(dialog.hwnd, WM_NCHITTEST, 0, MAKELPARAM(100, 100)), c.hit) << c.dx << "," << c.dy;
  }
  DestroyWindow(dialog.hwnd);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}
