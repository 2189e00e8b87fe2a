// What the posted status and progress messages do to the window.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/ui/window_fixture.h"

namespace {

// Bounding box of the pixels that differ between two renderings; empty when equal.
RECT Difference(const Picture& a, const Picture& b) {
  RECT box = {a.width, a.height, 0, 0};
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      if (a.At(x, y) == b.At(x, y)) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  if (box.right == 0) return {};
  return box;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return IsRectEmpty(&inner) ||
         (inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom);
}

class StatusTest : public WindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDefault());
    window->page = 2;
    window->ShowPage();
    host.Clear();
  }
  bool Post(UINT message, LPARAM value) {
    PostMessageA(hwnd, message, 0, value);
    return Pump();
  }
  int BarPosition() { return static_cast<int>(SendMessageA(window->hwndProgress, PBM_GETPOS, 0, 0)); }
};

}  // namespace

TEST_F(StatusTest, StartsReadingTheConfigurationAtZero) {
  EXPECT_EQ(window->statusCode, STATUS_READING_CONFIG);
  EXPECT_STREQ(window->statusText, "正在读取配置文件");
  EXPECT_EQ(window->progress, 0);
  EXPECT_EQ(BarPosition(), 0);
}

TEST_F(StatusTest, ProgressTouchesOnlyThePercentageAndTheBar) {
  Picture before = Render(*window);
  EXPECT_FALSE(Post(WM_INSTALL_PROGRESS, 42));
  EXPECT_EQ(window->progress, 42);
  EXPECT_EQ(BarPosition(), 42);
  EXPECT_STREQ(window->statusText, "正在读取配置文件");
  RECT changed = Difference(before, Render(*window));
  EXPECT_FALSE(IsRectEmpty(&changed));
  EXPECT_TRUE(Inside(changed, window->percentRect))
      << changed.left << "," << changed.top << "," << changed.right << "," << changed.bottom;
}

TEST_F(StatusTest, StatusTouchesOnlyTheStatusTextAndItsPercentageForm) {
  // 2 -> 4 keeps the downloading form: only the status text changes.
  Picture before = Render(*window);
  EXPECT_FALSE(Post(WM_INSTALL_STATUS, STATUS_DOWNLOADING));
  EXPECT_STREQ(window->statusText, "正在下载");
  Picture downloading = Render(*window);
  RECT changed = Difference(before, downloading);
  EXPECT_FALSE(IsRectEmpty(&changed));
  RECT statusOnly = window->statusRect;
  statusOnly.right = window->percentRect.left;  // the two rectangles overlap; the percentage is right-aligned
  EXPECT_TRUE(Inside(changed, statusOnly)) << changed.right;
  EXPECT_EQ(BarPosition(), 0);

  // 4 -> 6 switches the percentage to the installing form as well.
  EXPECT_FALSE(Post(WM_INSTALL_STATUS, STATUS_INSTALLING));
  RECT both;
  UnionRect(&both, &window->statusRect, &window->percentRect);
  changed = Difference(downloading, Render(*window));
  EXPECT_TRUE(Inside(changed, both));
  EXPECT_GT(changed.right, window->percentRect.left);
}

TEST_F(StatusTest, PercentageFormFollowsTheStatus) {
  // Status 0 and 1 show no percentage; compare against an empty percentage area.
  auto percentArea = [&](int code) {
    window->statusCode = code;
    window->statusText = StatusTexts[code];
    window->progress = 37;
    Picture p = Render(*window);
    std::vector<COLORREF> area;
    for (int y = window->percentRect.top; y < window->percentRect.bottom; ++y)
      for (int x = 320; x < window->percentRect.right; ++x) area.push_back(p.At(x, y));
    return area;
  };
  auto none = percentArea(STATUS_ERROR);
  EXPECT_EQ(percentArea(STATUS_NONE), none);
  auto downloading = percentArea(STATUS_READING_CONFIG);
  EXPECT_NE(downloading, none);
  EXPECT_EQ(percentArea(STATUS_GETTING_VERSION), downloading);
  EXPECT_EQ(percentArea(STATUS_DOWNLOADING), downloading);
  auto installing = percentArea(STATUS_STARTING_INSTALL);
  EXPECT_NE(installing, downloading);
  EXPECT_EQ(percentArea(STATUS_INSTALLING), installing);
  EXPECT_EQ(percentArea(STATUS_COMPLETE), installing);
}

TEST_F(StatusTest, ErrorEndsTheLoopWithoutAReport) {
  EXPECT_TRUE(Post(WM_INSTALL_STATUS, STATUS_ERROR));
  EXPECT_STREQ(window->statusText, "错误，请重新下载");
  EXPECT_EQ(ReadFile(RequestLog()).find("/Game/GameUninstall.aspx"), std::string::npos);
}

TEST_F(StatusTest, InstallingLeavesTheWindowRunning) {
  EXPECT_FALSE(Post(WM_INSTALL_STATUS, STATUS_INSTALLING));
  EXPECT_STREQ(window->statusText, "正在安装");
  EXPECT_EQ(window->page, 2);
}

TEST_F(StatusTest, CompleteReportsToThePortalThenEnds) {
  EXPECT_TRUE(Post(WM_INSTALL_STATUS, STATUS_COMPLETE));
  EXPECT_STREQ(window->statusText, "安装完成");
  EXPECT_NE(ReadFile(RequestLog()).find("GET /Game/GameUninstall.aspx"), std::string::npos);
}

TEST_F(StatusTest, CodesOutsideTheTableAreIgnored) {
  std::vector<LPARAM> codes = {LPARAM(-1), LPARAM(8), LPARAM(100000)};
  // Only a 64-bit LPARAM can carry a valid code in its low half and more above it.
  if (sizeof(LPARAM) > 4) codes.push_back(static_cast<LPARAM>(0x100000007LL));
  for (LPARAM code : codes) {
    EXPECT_FALSE(Post(WM_INSTALL_STATUS, code)) << code;
    EXPECT_EQ(window->statusCode, STATUS_READING_CONFIG) << code;
    EXPECT_STREQ(window->statusText, "正在读取配置文件");
  }
}

TEST_F(StatusTest, DebuggerLinesShowTheOrderTheWindowSaw) {
  Post(WM_INSTALL_PROGRESS, 0);  // no change, no line
  PostMessageA(hwnd, WM_INSTALL_PROGRESS, 0, 10);
  PostMessageA(hwnd, WM_INSTALL_PROGRESS, 0, 10);
  PostMessageA(hwnd, WM_INSTALL_STATUS, 0, STATUS_DOWNLOADING);
  PostMessageA(hwnd, WM_INSTALL_PROGRESS, 0, 0);
  PostMessageA(hwnd, WM_INSTALL_STATUS, 0, STATUS_INSTALLING);
  Pump();
  EXPECT_EQ(host.Lines(), (std::vector<std::string>{"online_log progress 10", "online_log status 4",
                                                    "online_log progress 0", "online_log status 6"}));
}

TEST_F(StatusTest, SlideshowCyclesThroughFivePictures) {
  std::vector<int> seen;
  for (int tick = 0; tick < 6; ++tick) {
    window->OnTimer(kSlideTimer);
    seen.push_back(window->slideIndex);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 0, 1}));
  window->OnTimer(1002);
  EXPECT_EQ(window->slideIndex, 1);

  // Each slide draws at the top; the fifth tick brings slide 0 back.
  window->slideIndex = 0;
  Picture slide0 = Render(*window);
  window->slideIndex = 1;
  EXPECT_NE(Render(*window).At(100, 100), slide0.At(100, 100));
  for (int tick = 0; tick < 4; ++tick) window->OnTimer(kSlideTimer);
  EXPECT_EQ(window->slideIndex, 0);
  EXPECT_EQ(Render(*window).pixels, slide0.pixels);
}
