// CBrush: a GDI brush owned by the object and deleted with it.
#pragma once
#include <windows.h>

#include "framework/object.h"

class CBrush : public CObject {
 public:
  CBrush() = default;
  ~CBrush() override;

  // A solid brush of one colour; FALSE when the platform cannot make it.
  BOOL CreateSolidBrush(COLORREF crColor);

  HBRUSH GetSafeHandle() const { return m_hBrush; }
  operator HBRUSH() const { return m_hBrush; }

 private:
  HBRUSH m_hBrush = nullptr;
};
