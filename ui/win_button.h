#pragma once
// A standard push button that draws itself from a four-state picture strip.
#include <windows.h>

#include "ui/image.h"

class CWINButton {
 public:
  CWINButton();
  virtual ~CWINButton();
  CWINButton(const CWINButton&) = delete;
  CWINButton& operator=(const CWINButton&) = delete;

  BOOL Attach(HWND hwnd);
  BOOL SetImage(HMODULE module, int pictureId);
  void Enable(BOOL enable);
  // Composes the button as WM_PAINT would, into any device context.
  void DrawButton(HDC dc);

  static LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd = nullptr;
  WNDPROC m_pfnOldProc = nullptr;
  Image m_image;
  COLORREF m_crText = 0;
  BOOL m_bHover = 0;
  BOOL m_bPressed = 0;
  BOOL m_bEnabled = 1;
  BOOL m_bFocus = 0;
  BOOL m_bHasImage = 0;
  char m_szText[256] = {};
  bool m_bHandCursor = false;
  HPEN m_penFrame, m_penHoverLeft, m_penHoverRight, m_penHoverTop, m_penHoverBottom;
  HPEN m_penFocusLeft, m_penFocusRight, m_penFocusTop, m_penFocusBottom;

 private:
  void RebuildRegion();
};
