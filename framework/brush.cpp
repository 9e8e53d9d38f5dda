#include "framework/brush.h"

CBrush::~CBrush() {
  if (m_hBrush != nullptr) ::DeleteObject(m_hBrush);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
  if (m_hBrush != nullptr) return FALSE;
  m_hBrush = ::CreateSolidBrush(crColor);
  return m_hBrush != nullptr;
}
