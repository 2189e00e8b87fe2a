#include "ui/win_button.h"

#include <cstring>
#include <initializer_list>

namespace {

constexpr char kProp[] = "CWINBUTTON";
constexpr COLORREF kKeyColour = RGB(255, 0, 255);
constexpr int kGradientSteps = 64;

void Debug(const char* line) { OutputDebugStringA(line); }

HPEN FramePen(int width, COLORREF colour) { return CreatePen(PS_INSIDEFRAME, width, colour); }

void Invalidate(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

// Colour index i (0..63) of the plain look's vertical gradient.
COLORREF GradientColour(int i, bool hover, bool focus) {
  int rg, b;
  if (hover && focus) {
    rg = 255 - i / 4, b = 255 - i / 3;
  } else if (hover) {
    rg = 255 - i / 4, b = 255 - i / 5;
  } else if (focus) {
    rg = 255 - i / 3, b = 255 - i / 4;
  } else {
    rg = 255 - i / 3, b = 255 - i / 5;
  }
  return RGB(rg, rg, b);
}

void Line(HDC dc, HPEN pen, int x0, int y0, int x1, int y1) {
  HGDIOBJ old = SelectObject(dc, pen);
  POINT prev;
  MoveToEx(dc, x0, y0, &prev);
  LineTo(dc, x1, y1);
  MoveToEx(dc, prev.x, prev.y, nullptr);
  SelectObject(dc, old);
}

}  // namespace

CWINButton::CWINButton()
    : m_penFrame(FramePen(1, RGB(0xFF, 0xFF, 0xFF))),
      m_penHoverLeft(FramePen(3, 0x58C4FA)),
      m_penHoverRight(FramePen(3, 0x6ACAFB)),
      m_penHoverTop(FramePen(2, 0x79D2FC)),
      m_penHoverBottom(FramePen(2, 0x0097E5)),
      m_penFocusLeft(FramePen(3, 0xFCC699)),
      m_penFocusRight(FramePen(3, 0xFCBDA2)),
      m_penFocusTop(FramePen(2, 0xFFC9A2)),
      m_penFocusBottom(FramePen(2, 0xFFC9A2)) {}

CWINButton::~CWINButton() {
  // A button window that outlives us must not reach a dead object through
  // the property, nor be left with a null procedure when attaching failed.
  if (m_hWnd && IsWindow(m_hWnd)) {
    if (m_pfnOldProc) SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOldProc));
    if (GetPropA(m_hWnd, kProp) == this) RemovePropA(m_hWnd, kProp);
  }
  for (HPEN pen : {m_penFrame, m_penHoverLeft, m_penHoverRight, m_penHoverTop, m_penHoverBottom, m_penFocusLeft,
                   m_penFocusRight, m_penFocusTop, m_penFocusBottom}) {
    if (pen) DeleteObject(pen);
  }
  m_image.Destroy();
}

BOOL CWINButton::Attach(HWND hwnd) {
  if (!IsWindow(hwnd)) return FALSE;
  m_hWnd = hwnd;
  if (!SetPropA(hwnd, kProp, this)) {
    Debug("SetProp ERROR");
    return FALSE;
  }
  SetWindowLongPtrA(hwnd, GWL_STYLE, GetWindowLongPtrA(hwnd, GWL_STYLE) | BS_OWNERDRAW);
  RECT rc;
  GetClientRect(hwnd, &rc);
  HRGN round = CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, 5, 5);
  if (round && !SetWindowRgn(hwnd, round, TRUE)) DeleteObject(round);  // the window owns it on success
  m_pfnOldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWINButton::ButtonWndProc)));
  return TRUE;
}

BOOL CWINButton::SetImage(HMODULE module, int pictureId) {
  if (!m_bEnabled) return FALSE;
  if (HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(pictureId), "PNG")) LoadPngFromResource(module, res, m_image);
  if (m_image.IsNull()) return FALSE;
  SetWindowPos(m_hWnd, nullptr, 0, 0, m_image.GetWidth() / 4, m_image.GetHeight(), SWP_NOMOVE | SWP_NOOWNERZORDER);
  RebuildRegion();
  Invalidate(m_hWnd);
  m_bHasImage = 1;
  return TRUE;
}

void CWINButton::Enable(BOOL enable) {
  m_bEnabled = enable ? 1 : 0;
  EnableWindow(m_hWnd, m_bEnabled);
  Invalidate(m_hWnd);
}

// The window takes the shape of state 0's non-key pixels, one run of a row at a time.
void CWINButton::RebuildRegion() {
  if (m_image.IsNull()) return;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (!region) {
    Debug("CreateRectRgn wndRgn ERROR");
    return;
  }
  const int stateWidth = m_image.GetWidth() / 4;
  const int height = m_image.GetHeight();
  for (int y = 0; y < height; ++y) {
    int x = 0;
    while (x < stateWidth) {
      while (x < stateWidth && m_image.GetPixel(x, y) == kKeyColour) ++x;
      if (x >= stateWidth) break;
      const int start = x;
      while (x < stateWidth && m_image.GetPixel(x, y) != kKeyColour) ++x;
      HRGN run = CreateRectRgn(start, y, x, y + 1);
      if (!run) {
        Debug("CreateRectRgn temp ERROR");
        continue;
      }
      if (CombineRgn(region, region, run, RGN_OR) == ERROR) Debug("CombineRgn ERROR");
      DeleteObject(run);
    }
  }
  if (!SetWindowRgn(m_hWnd, region, TRUE)) DeleteObject(region);
}

LRESULT CALLBACK CWINButton::ButtonWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CWINButton*>(GetPropA(hwnd, kProp));
  if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
  return self->WindowProc(message, wParam, lParam);
}

LRESULT CWINButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      m_bFocus = 1;
      Invalidate(m_hWnd);
      break;
    case WM_KILLFOCUS:
      m_bFocus = 0;
      Invalidate(m_hWnd);
      break;
    case WM_ENABLE:
      m_bEnabled = wParam ? 1 : 0;
      Invalidate(m_hWnd);
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(m_hWnd, &ps);
      int saved = SaveDC(dc);
      HRGN clip = CreateRectRgn(0, 0, 0, 0);
      // Without a window region there is nothing to clip to: draw unclipped
      // rather than into an empty clip.
      if (clip && GetWindowRgn(m_hWnd, clip) != ERROR && SelectClipRgn(dc, clip) == ERROR)
        Debug("SelectClipRgn ERROR");
      DrawButton(dc);
      RestoreDC(dc, saved);
      EndPaint(m_hWnd, &ps);
      if (clip) DeleteObject(clip);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_DRAWITEM:
      Debug("WM_DRAWITEM");
      break;
    case WM_CHAR:
      Debug("WM_CHAR");
      break;
    case WM_MOUSEMOVE:
      if (!m_bHover) {
        m_bHover = 1;
        Invalidate(m_hWnd);
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&track);
        if (m_bHandCursor && m_bEnabled == 1) {
          // With the class pointer cleared the system stops resetting it, so the hand stays.
          SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, 0);
          SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
        }
      }
      break;
    case WM_LBUTTONDOWN:
      m_bPressed = 1;
      Invalidate(m_hWnd);
      break;
    case WM_LBUTTONUP:
      m_bPressed = 0;
      Invalidate(m_hWnd);
      break;
    case WM_MOUSELEAVE:
      m_bHover = 0;
      m_bFocus = 0;
      Invalidate(m_hWnd);
      break;
    case WM_NCDESTROY: {
      // The window goes first at exit; forget it so the destructor leaves the
      // (possibly reused) handle alone.
      HWND hwnd = m_hWnd;
      LRESULT r = CallWindowProcA(m_pfnOldProc, hwnd, message, wParam, lParam);
      RemovePropA(hwnd, kProp);
      m_hWnd = nullptr;
      m_pfnOldProc = nullptr;
      return r;
    }
    default:
      break;
  }
  return CallWindowProcA(m_pfnOldProc, m_hWnd, message, wParam, lParam);
}

void CWINButton::DrawButton(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  HDC mem = CreateCompatibleDC(dc);
  if (!mem) {
    Debug("Create MemDc ERROR");
    return;
  }
  const int saved = SaveDC(mem);
  SetBkMode(mem, TRANSPARENT);
  HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
  SelectObject(mem, bmp);

  // The caption is cached: a later empty window text keeps the last one.
  char text[256] = {};
  GetWindowTextA(m_hWnd, text, sizeof(text));
  if (text[0]) memcpy(m_szText, text, sizeof(m_szText));
  auto drawCaption = [&](RECT box, UINT format) {
    if (!m_szText[0]) return;
    COLORREF old = SetTextColor(mem, m_bEnabled ? m_crText : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(mem, m_szText, -1, &box, format);
    SetTextColor(mem, old);
  };

  if (m_bHasImage) {
    const int state = !m_bEnabled ? 3 : m_bPressed ? 2 : (m_bHover || m_bFocus) ? 1 : 0;
    m_image.TransparentBlt(mem, w, h, state * w, w, h);
    drawCaption(rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  } else {
    HGDIOBJ oldPen = SelectObject(mem, m_penFrame);
    RoundRect(mem, rc.left, rc.top, rc.right, rc.bottom, 5, 5);
    SelectObject(mem, oldPen);

    RECT inner = rc;
    InflateRect(&inner, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    const int innerH = inner.bottom - inner.top;
    HBRUSH brushes[kGradientSteps];
    for (int i = 0; i < kGradientSteps; ++i) brushes[i] = CreateSolidBrush(GradientColour(i, m_bHover, m_bFocus));
    if (innerH > 0) {
      for (int r = 0; r <= innerH; ++r) {
        RECT row = {inner.left, inner.top + r, inner.right, inner.top + r + 1};
        FillRect(mem, &row, brushes[r * (kGradientSteps - 1) / innerH]);
      }
    }
    for (HBRUSH b : brushes) DeleteObject(b);

    if (m_bHover || m_bFocus) {
      HPEN left = m_bHover ? m_penHoverLeft : m_penFocusLeft;
      HPEN right = m_bHover ? m_penHoverRight : m_penFocusRight;
      HPEN top = m_bHover ? m_penHoverTop : m_penFocusTop;
      HPEN bottom = m_bHover ? m_penHoverBottom : m_penFocusBottom;
      Line(mem, left, inner.left, inner.bottom - 1, inner.left, inner.top + 1);
      Line(mem, right, inner.right - 1, inner.bottom - 1, inner.right - 1, inner.top);
      Line(mem, top, inner.left - 1, inner.top, inner.right - 1, inner.top);
      Line(mem, bottom, inner.left, inner.bottom, inner.right - 1, inner.bottom);
    }
    if (m_bFocus && !m_bHover) DrawFocusRect(mem, &inner);
    RECT captionBox = m_bPressed ? RECT{rc.left + 2, rc.top + 2, rc.right, rc.bottom} : inner;
    drawCaption(captionBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }

  BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
  RestoreDC(mem, saved);
  if (!DeleteDC(mem)) Debug("DeleteDC(hdcMem) ERROR");
  if (bmp && !DeleteObject(bmp)) Debug("DeleteObject(bmp) ERROR");
}
