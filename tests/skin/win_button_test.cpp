// The skinned button on real button windows under a real parent.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "res/resource.h"
#include "tests/skin/fixtures.h"
#include "tests/skin/skin_test_util.h"
#include "ui/win_button.h"

namespace {

// fx_states.png: states of 5x4 pixels: red, green, blue, grey (pixel (0, 0) of state 0 is key colour).
const COLORREF kStateColour[4] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(128, 128, 128)};

int RegionType(HWND hwnd, RECT* box = nullptr) {
  ScopedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  int type = GetWindowRgn(hwnd, rgn.get());
  if (box) GetRgnBox(rgn.get(), box);
  return type;
}

bool InWindowRegion(HWND hwnd, int x, int y) {
  ScopedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  GetWindowRgn(hwnd, rgn.get());
  return PtInRegion(rgn.get(), x, y) != 0;
}

SIZE WindowSize(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

// The colour DrawButton puts at (x, y) of a canvas the button's size.
COLORREF DrawnAt(CWINButton& button, int x, int y) {
  RECT rc;
  GetClientRect(button.m_hWnd, &rc);
  Canvas canvas(rc.right, rc.bottom, RGB(1, 2, 3));
  button.DrawButton(canvas.dc());
  return canvas.At(x, y);
}

class SkinButton : public testing::Test {
 protected:
  // One parent for the suite: tearing a top-level window down costs Wine
  // about two seconds.
  static void SetUpTestSuite() { shared = new ParentWindow; }
  static void TearDownTestSuite() {
    delete shared;
    shared = nullptr;
  }
  void SetUp() override {
    parent.commands.clear();
    SetFocus(parent.hwnd());
    hwnd = parent.AddButton(1004, 20, 30);
    ASSERT_NE(hwnd, nullptr);
    oldProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    button = std::make_unique<CWINButton>();
    ASSERT_TRUE(button->Attach(hwnd));
  }
  void TearDown() override {
    button.reset();
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    ParentWindow::Pump();
  }
  static ParentWindow* shared;
  HMODULE self = GetModuleHandleA(nullptr);
  ParentWindow& parent = *shared;
  HWND hwnd = nullptr;
  WNDPROC oldProc = nullptr;
  std::unique_ptr<CWINButton> button;
};

ParentWindow* SkinButton::shared = nullptr;

TEST(SkinButtonAttach, NotAWindowFailsAndChangesNothing) {
  CWINButton button;
  EXPECT_FALSE(button.Attach(nullptr));
  EXPECT_FALSE(button.Attach(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7654))));
  EXPECT_EQ(button.m_hWnd, nullptr);
  EXPECT_EQ(button.m_pfnOldProc, nullptr);
}

TEST_F(SkinButton, AttachSubclassesMakesOwnerDrawnAndRoundsTheWindow) {
  EXPECT_EQ(GetPropA(hwnd, "CWINBUTTON"), button.get());
  EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), &CWINButton::ButtonWndProc);
  EXPECT_EQ(button->m_pfnOldProc, oldProc);
  EXPECT_NE(RegionType(hwnd), ERROR);
  EXPECT_FALSE(InWindowRegion(hwnd, 0, 0)) << "rounded corner";
  EXPECT_TRUE(InWindowRegion(hwnd, 18, 15));
  EXPECT_FALSE(button->m_bHasImage);
}

TEST_F(SkinButton, DestructorPutsTheOldProcedureBackAndDropsTheProperty) {
  button.reset();
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)), oldProc);
  EXPECT_EQ(GetPropA(hwnd, "CWINBUTTON"), nullptr);
  SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));  // must not reach the dead object
}

TEST_F(SkinButton, WindowDestroyedFirstLeavesTheObjectSafeToDestroy) {
  DestroyWindow(hwnd);
  EXPECT_EQ(button->m_hWnd, nullptr);
  button.reset();
}

TEST_F(SkinButton, SetImageSizesToOneStateAndShapesFromStateZero) {
  ASSERT_TRUE(button->SetImage(self, FX_STATES));
  EXPECT_TRUE(button->m_bHasImage);
  SIZE size = WindowSize(hwnd);
  EXPECT_EQ(size.cx, 5);  // 23 / 4
  EXPECT_EQ(size.cy, 4);
  RECT pos;
  GetWindowRect(hwnd, &pos);
  MapWindowPoints(nullptr, parent.hwnd(), reinterpret_cast<POINT*>(&pos), 2);
  EXPECT_EQ(pos.left, 20) << "not moved";
  EXPECT_EQ(pos.top, 30);
  RECT box;
  EXPECT_EQ(RegionType(hwnd, &box), COMPLEXREGION);
  EXPECT_EQ(box.right, 5);
  EXPECT_EQ(box.bottom, 4);
  EXPECT_FALSE(InWindowRegion(hwnd, 0, 0)) << "the key pixel of state 0";
  EXPECT_TRUE(InWindowRegion(hwnd, 1, 0));
  EXPECT_TRUE(InWindowRegion(hwnd, 0, 1));
}

TEST_F(SkinButton, RealPictureWithoutKeyPixelsGivesTheFullStateRectangle) {
  ASSERT_TRUE(button->SetImage(self, IDB_INSTALL));
  RECT box;
  EXPECT_EQ(RegionType(hwnd, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 150);
  EXPECT_EQ(box.bottom, 58);
}

TEST_F(SkinButton, FullyKeyColouredStateZeroGivesAnEmptyRegion) {
  ASSERT_TRUE(button->SetImage(self, FX_KEYED));
  EXPECT_EQ(RegionType(hwnd), NULLREGION);
  // Nothing to click: the point is not in the window as far as hit testing goes.
  RECT rc;
  GetWindowRect(hwnd, &rc);
  EXPECT_NE(WindowFromPoint({rc.left + 1, rc.top + 1}), hwnd);
}

TEST_F(SkinButton, SetImageOnADisabledButtonFailsAndLoadsNothing) {
  button->Enable(FALSE);
  EXPECT_FALSE(IsWindowEnabled(hwnd));
  EXPECT_FALSE(button->SetImage(self, FX_STATES));
  EXPECT_TRUE(button->m_image.IsNull());
  EXPECT_FALSE(button->m_bHasImage);
  EXPECT_EQ(WindowSize(hwnd).cx, 37);
  EXPECT_EQ(WindowSize(hwnd).cy, 31);
}

TEST_F(SkinButton, MissingPictureFailsAndKeepsThePlainLook) {
  EXPECT_FALSE(button->SetImage(self, 157));
  EXPECT_FALSE(button->m_bHasImage);
  EXPECT_EQ(WindowSize(hwnd).cx, 37);
}

TEST_F(SkinButton, DrawnStateFollowsDisabledThenPressedThenHoverOrFocus) {
  ASSERT_TRUE(button->SetImage(self, FX_STATES));
  struct Case {
    BOOL enabled, pressed, hover, focus;
    int state;
  } cases[] = {
      {1, 0, 0, 0, 0}, {1, 0, 1, 0, 1}, {1, 0, 0, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 0, 0, 2},
      {1, 1, 1, 1, 2}, {0, 0, 0, 0, 3}, {0, 1, 0, 0, 3}, {0, 1, 1, 1, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "enabled " << c.enabled << " pressed " << c.pressed << " hover " << c.hover
                                    << " focus " << c.focus);
    button->m_bEnabled = c.enabled;
    button->m_bPressed = c.pressed;
    button->m_bHover = c.hover;
    button->m_bFocus = c.focus;
    EXPECT_EQ(DrawnAt(*button, 2, 2), kStateColour[c.state]);
    EXPECT_EQ(DrawnAt(*button, 4, 3), kStateColour[c.state]) << "last column of the state, not the leftovers";
  }
}

TEST_F(SkinButton, CaptionIsCachedAcrossAnEmptyWindowText) {
  ASSERT_TRUE(button->SetImage(self, IDB_INSTALL));
  button->m_crText = RGB(255, 255, 0);
  auto countCaptionPixels = [&] {
    Canvas canvas(150, 58, 0);
    button->DrawButton(canvas.dc());
    int n = 0;
    for (int y = 0; y < 58; ++y)
      for (int x = 0; x < 150; ++x) n += canvas.At(x, y) == RGB(255, 255, 0);
    return n;
  };
  const int bare = countCaptionPixels();
  SetWindowTextA(hwnd, "OK");
  const int withText = countCaptionPixels();
  EXPECT_STREQ(button->m_szText, "OK");
  EXPECT_GT(withText, bare);
  SetWindowTextA(hwnd, "");
  EXPECT_STREQ(button->m_szText, "OK");
  EXPECT_EQ(countCaptionPixels(), withText);
  SetWindowTextA(hwnd, "No");
  countCaptionPixels();
  EXPECT_STREQ(button->m_szText, "No");
}

TEST_F(SkinButton, DisabledCaptionIsGrey) {
  SetWindowTextA(hwnd, "MMMM");
  ASSERT_TRUE(button->SetImage(self, FX_STATES));
  SetWindowPos(hwnd, nullptr, 0, 0, 5, 4, SWP_NOMOVE);
  button->m_crText = RGB(255, 255, 0);
  button->m_bEnabled = 0;
  Canvas canvas(5, 4, 0);
  button->DrawButton(canvas.dc());
  int yellow = 0, grey = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      yellow += canvas.At(x, y) == RGB(255, 255, 0);
      grey += canvas.At(x, y) == GetSysColor(COLOR_GRAYTEXT);
    }
  EXPECT_EQ(yellow, 0);
  EXPECT_GT(grey, 0);
}

// The plain look of a 37x31 button without a picture.
TEST_F(SkinButton, PlainLookDrawsOutlineGradientAndBorders) {
  const int ex = GetSystemMetrics(SM_CXEDGE), ey = GetSystemMetrics(SM_CYEDGE);
  const RECT inner = {ex, ey, 37 - ex, 31 - ey};
  const int H = inner.bottom - inner.top;
  auto gradientAt = [&](int y, bool hover, bool focus) {
    int i = (y - inner.top) * 63 / H;
    int rg = 255 - (hover ? i / 4 : i / 3);
    int b = 255 - (focus ? (hover ? i / 3 : i / 4) : i / 5);
    return RGB(rg, rg, b);
  };
  const int midY = inner.top + H / 2, midX = 18;

  // Neither hover nor focus: white outline, gradient, no border.
  EXPECT_NE(DrawnAt(*button, 0, 0), RGB(255, 255, 255)) << "outside the rounded corner";
  EXPECT_EQ(DrawnAt(*button, 0, 15), RGB(255, 255, 255)) << "outline";
  EXPECT_EQ(DrawnAt(*button, midX, inner.top), RGB(255, 255, 255)) << "first gradient row";
  EXPECT_EQ(DrawnAt(*button, midX, midY), gradientAt(midY, false, false));
  EXPECT_EQ(DrawnAt(*button, midX, inner.bottom - 1), gradientAt(inner.bottom - 1, false, false));
  EXPECT_NE(DrawnAt(*button, midX, inner.top), DrawnAt(*button, midX, inner.bottom - 1));

  button->m_bHover = 1;
  EXPECT_EQ(DrawnAt(*button, inner.left, midY), COLORREF(0x58C4FA));
  EXPECT_EQ(DrawnAt(*button, inner.right - 1, midY), COLORREF(0x6ACAFB));
  EXPECT_EQ(DrawnAt(*button, midX, inner.top), COLORREF(0x79D2FC));
  EXPECT_EQ(DrawnAt(*button, midX, inner.bottom), COLORREF(0x0097E5));
  EXPECT_EQ(DrawnAt(*button, midX, midY), gradientAt(midY, true, false));

  button->m_bHover = 0;
  button->m_bFocus = 1;
  EXPECT_EQ(DrawnAt(*button, inner.left, midY), COLORREF(0xFCC699));
  EXPECT_EQ(DrawnAt(*button, inner.right - 1, midY), COLORREF(0xFCBDA2));
  EXPECT_EQ(DrawnAt(*button, midX + 1, inner.bottom), COLORREF(0xFFC9A2));
  EXPECT_EQ(DrawnAt(*button, midX, midY), gradientAt(midY, false, true));

  button->m_bHover = 1;
  EXPECT_EQ(DrawnAt(*button, midX, midY), gradientAt(midY, true, true));
  EXPECT_EQ(DrawnAt(*button, inner.left, midY), COLORREF(0x58C4FA)) << "hover pens win over focus pens";
}

TEST_F(SkinButton, MouseMessagesDriveHoverPressAndLeave) {
  ASSERT_TRUE(button->SetImage(self, FX_STATES));
  button->m_bHandCursor = true;
  SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(button->m_bHover);
  EXPECT_EQ(DrawnAt(*button, 2, 2), kStateColour[1]);
  EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HCURSOR), 0) << "class pointer cleared for the hand";
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));

  SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_TRUE(button->m_bPressed);
  EXPECT_EQ(DrawnAt(*button, 2, 2), kStateColour[2]);
  SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_FALSE(button->m_bPressed);
  ParentWindow::Pump();
  ASSERT_EQ(parent.commands.size(), 1u) << "the standard button still notifies its parent";
  EXPECT_EQ(parent.commands[0], MAKEWPARAM(1004, BN_CLICKED));
  EXPECT_EQ(GetFocus(), hwnd);
  EXPECT_TRUE(button->m_bFocus);
  EXPECT_EQ(DrawnAt(*button, 2, 2), kStateColour[1]) << "focused after the click";

  SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(button->m_bHover);
  EXPECT_FALSE(button->m_bFocus);
  EXPECT_EQ(DrawnAt(*button, 2, 2), kStateColour[0]) << "normal once the pointer is elsewhere";
}

// Pumps until `done` or ten seconds have passed: a loaded machine is slow
// to deliver pointer messages, a working one answers in milliseconds.
template <class F>
bool PumpUntil(F done) {
  for (DWORD end = GetTickCount() + 10000; GetTickCount() < end; Sleep(10)) {
    ParentWindow::Pump();
    if (done()) return true;
  }
  return false;
}

TEST_F(SkinButton, RealPointerEntersAndLeavesThroughTheLeaveNotification) {
  ASSERT_TRUE(button->SetImage(self, IDB_INSTALL));
  RECT rc;
  GetWindowRect(hwnd, &rc);
  SetCursorPos(rc.left + 60, rc.top + 30);
  EXPECT_TRUE(PumpUntil([&] { return button->m_bHover == 1; })) << "hover on the first move";
  SetCursorPos(rc.right + 40, rc.bottom + 40);
  EXPECT_TRUE(PumpUntil([&] { return button->m_bHover == 0; })) << "WM_MOUSELEAVE was requested and arrived";
}

TEST_F(SkinButton, HandPointerOnlyWhenAskedForAndEnabled) {
  struct Case {
    bool hand;
    BOOL enabled;
    bool cleared;
  } cases[] = {{false, 1, false}, {true, 0, false}, {true, 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hand << c.enabled);
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    SetClassLongPtrA(hwnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(arrow));
    button->m_bHover = 0;
    button->m_bHandCursor = c.hand;
    button->m_bEnabled = c.enabled;
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HCURSOR) == 0, c.cleared);
  }
  SetClassLongPtrA(hwnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))));
}

TEST_F(SkinButton, FocusAndEnableMessagesFollowTheWindow) {
  SetFocus(hwnd);
  EXPECT_TRUE(button->m_bFocus);
  SetFocus(parent.hwnd());
  EXPECT_FALSE(button->m_bFocus);
  EnableWindow(hwnd, FALSE);
  EXPECT_FALSE(button->m_bEnabled);
  button->Enable(TRUE);
  EXPECT_TRUE(button->m_bEnabled);
  EXPECT_TRUE(IsWindowEnabled(hwnd));
}

TEST_F(SkinButton, PaintMessageDrawsTheStripIntoTheWindow) {
  ASSERT_TRUE(button->SetImage(self, FX_STATES));
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(hwnd);
  EXPECT_EQ(GetPixel(dc, 2, 2), kStateColour[0]);
  ReleaseDC(hwnd, dc);
  EXPECT_EQ(SendMessageA(hwnd, WM_ERASEBKGND, 0, 0), 1);
}

// Not a check: VANTREL_SKIN_GALLERY=<seconds> shows the real buttons in every
// state over the background, for a look or a screenshot.
TEST(SkinGallery, ShowsEveryButtonInEveryState) {
  const char* env = getenv("VANTREL_SKIN_GALLERY");
  if (!env) GTEST_SKIP() << "set VANTREL_SKIN_GALLERY=<seconds> to look";
  ParentWindow parent(455, 325, WS_CLIPCHILDREN);  // the background goes around the buttons
  HMODULE self = GetModuleHandleA(nullptr);
  Image background;
  LoadPicture(IDB_BACKGROUND, background);
  struct Row {
    int id, y, step;
  } rows[] = {{IDB_CLOSE, 0, 50},    {IDB_MINIMIZE, 36, 50}, {IDB_AGREEMENT, 74, 52}, {IDB_BACK, 90, 52},
              {IDB_CANCEL, 106, 52}, {IDB_CUSTOM, 122, 76},  {IDB_RESTORE, 138, 90},  {IDB_CHANGE, 160, 74},
              {IDB_INSTALL, 200, 152}, {0, 262, 80}};
  std::unique_ptr<CWINButton> buttons[40];
  int n = 0;
  for (const Row& r : rows) {
    for (int state = 0; state < 4; ++state) {
      auto& b = buttons[n++];
      b = std::make_unique<CWINButton>();
      HWND h = parent.AddButton(2000 + n, 5 + state * r.step, r.y, r.id ? 37 : 75, r.id ? 31 : 28);
      b->Attach(h);
      if (r.id) b->SetImage(self, r.id);
      else SetWindowTextA(h, "Plain");
      b->m_bHover = state == 1;
      b->m_bPressed = state == 2;
      b->m_bFocus = !r.id && state == 2;
      if (state == 3) b->Enable(FALSE);
    }
  }
  HDC dc = GetDC(parent.hwnd());
  DWORD end = GetTickCount() + static_cast<DWORD>(atoi(env)) * 1000;
  while (GetTickCount() < end) {
    background.Draw(dc);
    ParentWindow::Pump();
    Sleep(200);
  }
  ReleaseDC(parent.hwnd(), dc);
}

}  // namespace
