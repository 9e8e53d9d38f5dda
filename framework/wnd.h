// CWnd: a window object wrapping one window handle.
#pragma once
#include <windows.h>

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return this == nullptr ? nullptr : m_hWnd; }

  HWND m_hWnd = nullptr;
};

// The window of a status context (the progress dialog's window object) at the
// moment of the call; null for no context.
inline HWND ContextWindow(void* context) {
  return context ? static_cast<CWnd*>(context)->m_hWnd : nullptr;
}
