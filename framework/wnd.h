// CWnd: a window object wrapping one window handle.
//
// A permanent window object (a dialog the framework created) is attached to its
// window when the window is created, sees every message through WindowProc, and
// is detached when the window is destroyed (m_hWnd goes back to null then). The
// message map takes what it lists; every other message goes to DefWindowProc,
// which by default hands it to the window's original procedure.
#pragma once
#include <windows.h>

#include "framework/cmd_target.h"

class CDC;

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;

  HWND GetSafeHwnd() const { return m_hWnd; }

  // The permanent window object attached to a window of this process; null when none.
  static CWnd* FromHandlePermanent(HWND hWnd);

  // Child controls are reached through window objects that this window keeps
  // until it is destroyed itself; null when there is no such control.
  CWnd* GetDlgItem(int nID) const;
  int GetDlgCtrlID() const;

  void SetWindowText(const char* lpszString);
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsIconic() const;
  void GetClientRect(LPRECT lpRect) const;
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // Every message of an attached window arrives here.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The messages that the message map does not take.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Attaches this object to a window and routes the window's messages through it.
  BOOL SubclassWindow(HWND hWnd);

  HWND m_hWnd = nullptr;

 protected:
  // DefWindowProc with the message being handled now.
  LRESULT Default();

  // The window object for a child window (or this window itself), for handlers.
  CWnd* FromChildHandle(HWND hWnd) const;

  // WM_COMMAND: this object's message map first, then the application's.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // Finds the message-map entry for a message and runs it; FALSE when none takes it.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // Default handlers: the platform's own handling of the message.
  void OnPaint();
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

  DECLARE_MESSAGE_MAP()

 private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  void Detach();

  WNDPROC m_pfnSuper = nullptr;    // the window's original procedure
  const MSG* m_pCurrentMsg = nullptr;
  mutable CWnd* m_pNextChild = nullptr;   // list link, when this object is a child wrapper
  mutable CWnd* m_pChildren = nullptr;    // wrappers of child windows that were asked for
};

// The window procedure of every attached window.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
