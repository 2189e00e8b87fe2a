// Each paint composes the whole client area off screen and copies it in one blit.
#include <cstdio>

#include "app/brand.h"
#include "system/scoped_win.h"
#include "system/system_dll.h"
#include "ui/main_window.h"
#include "ui/space_format.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kLightYellow = 0x96F6FF;
constexpr COLORREF kPaleYellow = 0xA7F7FE;
constexpr COLORREF kKeyColour = 0xFF00FF;

HFONT MakeFont(int height, int width, int weight) {
  return CreateFontA(height, width, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, PROOF_QUALITY,
                     FIXED_PITCH | FF_MODERN, "宋体");
}

void DrawIn(HDC dc, const char* text, RECT rect, UINT format) { DrawTextA(dc, text, -1, &rect, format); }

// Selects a font for one painter and puts the previous one back.
class FontScope {
 public:
  FontScope(HDC dc, int height, int width, int weight) : dc_(dc), font_(MakeFont(height, width, weight)) {
    old_ = SelectObject(dc_, font_.get());
  }
  ~FontScope() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  ScopedFont font_;
  HGDIOBJ old_;
};

void DrawKeyed(const Image& image, HDC dc) {
  if (image.IsNull()) return;
  image.TransparentBlt(dc, image.GetWidth(), image.GetHeight(), 0, image.GetWidth(), image.GetHeight());
}

}  // namespace

int MainWindow::OnPaint(HDC dc) {
  if (IsIconic(hwnd)) return 0;
  RECT client;
  GetClientRect(hwnd, &client);
  int w = client.right - client.left;
  int h = client.bottom - client.top;
  ScopedMemoryDc mem(CreateCompatibleDC(dc));
  ScopedBitmap bitmap(CreateCompatibleBitmap(dc, w, h));
  if (!mem || !bitmap) return 0;
  HGDIOBJ oldBitmap = SelectObject(mem.get(), bitmap.get());

  if (!imgBackground.IsNull()) imgBackground.Draw(mem.get());
  SetBkMode(mem.get(), TRANSPARENT);
  {
    FontScope base(mem.get(), 12, 6, 400);
    SetTextColor(mem.get(), kWhite);
    if (page == 0) {
      PaintWelcomePage(mem.get());
    } else if (page == 1) {
      PaintCustomPage(mem.get());
    } else if (page == 2) {
      PaintProgressPage(mem.get());
    }
  }

  // msimg32 is not a known DLL: bound from the system directory only.
  static const auto transparentBlt = SystemProc<decltype(&::TransparentBlt)>("msimg32.dll", "TransparentBlt");
  if (transparentBlt) {
    transparentBlt(dc, 0, 0, w, h, mem.get(), 0, 0, w, h, kKeyColour);
  } else {
    BitBlt(dc, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
  }
  SelectObject(mem.get(), oldBitmap);
  return 0;
}

void MainWindow::PaintWelcomePage(HDC dc) {
  DrawKeyed(imgBanner, dc);
  DrawIn(dc, agreeLabel, {50, 289, 150, 309}, 0);
  FontScope title(dc, 26, 14, 700);
  SetTextColor(dc, kLightYellow);
  char line[260] = {};
  snprintf(line, sizeof line, "%s游戏 极速安装", kPlatformBrand);
  RECT client;
  GetClientRect(hwnd, &client);
  // Without DT_SINGLELINE the vertical centring does nothing: the line sits at y 146.
  DrawIn(dc, line, {0, 146, client.right, 177}, DT_CENTER | DT_VCENTER);
}

void MainWindow::PaintCustomPage(HDC dc) {
  {
    FontScope path(dc, 14, 7, 400);
    DrawIn(dc, "安装路径:", {40, 100, 290, 120}, 0);
    SpaceFigure required = FormatSpace(requiredKB);
    SpaceFigure free = FormatSpace(paths.freeKB);
    char line[260];
    snprintf(line, sizeof line, "所需空间：%d%s(可用空间：%d%s)", required.number, required.unit, free.number,
             free.unit);
    DrawIn(dc, line, {40, 128, 290, 148}, 0);
  }
  FontScope heading(dc, 16, 8, 700);
  SetTextColor(dc, kLightYellow);
  DrawIn(dc, "自定义安装", {26, 44, 126, 61}, 0);
}

void MainWindow::PaintProgressPage(HDC dc) {
  DrawKeyed(imgSlides[slideIndex], dc);
  SetTextColor(dc, kPaleYellow);
  DrawIn(dc, statusText, statusRect, 0);
  char percent[260] = {};
  if (statusCode > 1 && statusCode <= 4) {
    snprintf(percent, sizeof percent, "已下载%d%%", progress);
  } else if (statusCode >= 5 && statusCode <= 7) {
    snprintf(percent, sizeof percent, "已安装%d%%", progress);
  }
  DrawIn(dc, percent, percentRect, DT_RIGHT);
}

int MainWindow::OnTimer(UINT id) {
  if (id != kSlideTimer) return 0;
  if (++slideIndex == kSlideCount) slideIndex = 0;
  RECT slide = {0, 0, imgSlides[slideIndex].GetWidth(), imgSlides[slideIndex].GetHeight()};
  InvalidateRect(hwnd, &slide, TRUE);
  return 0;
}
