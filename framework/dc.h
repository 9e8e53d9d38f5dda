// CDC: a device context handle with the drawing calls the dialogs use.
#pragma once
#include <windows.h>

#include "framework/object.h"

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
