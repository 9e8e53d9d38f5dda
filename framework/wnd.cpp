#include "framework/wnd.h"

#include <new>

#include "framework/dc.h"
#include "framework/win_app.h"

namespace {
// The window property that names a window's permanent window object.
const char kWndProperty[] = "Halvoran.CWnd";
}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
  // A window still attached keeps working with its original procedure.
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) Detach();
  while (m_pChildren != nullptr) {
    CWnd* child = m_pChildren;
    m_pChildren = child->m_pNextChild;
    child->m_hWnd = nullptr;
    delete child;
  }
  // The application's main window pointer must never outlive the object.
  if (CWinThread* thread = AfxGetThread()) {
    if (thread->m_pMainWnd == this) thread->m_pMainWnd = nullptr;
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  return hWnd ? static_cast<CWnd*>(GetPropA(hWnd, kWndProperty)) : nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) return FALSE;
  if (!SetPropA(hWnd, kWndProperty, this)) return FALSE;
  m_hWnd = hWnd;
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  return TRUE;
}

void CWnd::Detach() {
  if (m_pfnSuper != nullptr)
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  RemovePropA(m_hWnd, kWndProperty);
  m_pfnSuper = nullptr;
  m_hWnd = nullptr;
}

CWnd* CWnd::FromChildHandle(HWND hWnd) const {
  if (hWnd == nullptr) return nullptr;
  if (hWnd == m_hWnd) return const_cast<CWnd*>(this);
  for (CWnd* child = m_pChildren; child != nullptr; child = child->m_pNextChild)
    if (child->m_hWnd == hWnd) return child;
  CWnd* child = new (std::nothrow) CWnd;
  if (child == nullptr) return nullptr;
  child->m_hWnd = hWnd;
  child->m_pNextChild = m_pChildren;
  m_pChildren = child;
  return child;
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromChildHandle(::GetDlgItem(m_hWnd, nID)); }

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

void CWnd::SetWindowText(const char* lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  if (m_pCurrentMsg == nullptr) return 0;
  return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
  UINT nID = LOWORD(wParam);
  UINT nCode = HIWORD(wParam);
  if (OnCmdMsg(nID, nCode)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->OnCmdMsg(nID, nCode);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 0;
    return TRUE;
  }
  // The seven control-colour messages share one entry; a bare 0x0019 is not one of them.
  UINT key = message;
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) key = WM_CTLCOLOR;
  else if (message == WM_CTLCOLOR) return FALSE;
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(key, 0, 0);
  if (entry == nullptr) return FALSE;
  *pResult = entry->pfn(this, message, wParam, lParam);
  return TRUE;
}

void CWnd::OnPaint() { Default(); }

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (nCtlColor > CTLCOLOR_STATIC) return nullptr;
  return reinterpret_cast<HBRUSH>(DefWindowProc(WM_CTLCOLORMSGBOX + nCtlColor,
                                                reinterpret_cast<WPARAM>(pDC->GetSafeHdc()),
                                                reinterpret_cast<LPARAM>(pWnd->m_hWnd)));
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
  if (wnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  MSG current = {};
  current.hwnd = hWnd;
  current.message = message;
  current.wParam = wParam;
  current.lParam = lParam;
  const MSG* outer = wnd->m_pCurrentMsg;  // messages nest: a handler may send another
  wnd->m_pCurrentMsg = &current;
  LRESULT result = wnd->WindowProc(message, wParam, lParam);
  wnd->m_pCurrentMsg = outer;
  // The last message a window gets: give the window back its own procedure.
  if (message == WM_NCDESTROY) wnd->Detach();
  return result;
}
