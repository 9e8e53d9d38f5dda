// CDC: a device context handle with the drawing calls the dialogs use.
// CPaintDC: the device context of one WM_PAINT, from BeginPaint to EndPaint.
#pragma once
#include <windows.h>

#include "framework/object.h"

class CWnd;

class CDC : public CObject {
 public:
  // Wraps a device context that someone else owns; the object never releases it.
  explicit CDC(HDC hDC = nullptr) : m_hDC(hDC) {}

  HDC GetSafeHdc() const { return m_hDC; }
  COLORREF SetTextColor(COLORREF crColor);
  COLORREF SetBkColor(COLORREF crColor);
  BOOL DrawIcon(int x, int y, HICON hIcon);

  HDC m_hDC;
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps;

 private:
  HWND m_hWnd;
};
