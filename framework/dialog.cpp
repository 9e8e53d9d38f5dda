#include "framework/dialog.h"

#include "framework/win_app.h"

namespace {

// While DoModal creates its window, the creation hook attaches the dialog
// object to it, so that the object sees the window's messages from the first on.
// Only the interface thread creates dialogs.
CWnd* g_pWndInit = nullptr;
HHOOK g_hHookCreate = nullptr;

bool IsDialogWindow(HWND hWnd) {
  char className[16] = {};
  return GetClassNameA(hWnd, className, sizeof className) > 0 && lstrcmpA(className, "#32770") == 0;
}

void Unhook() {
  if (g_hHookCreate != nullptr) UnhookWindowsHookEx(g_hHookCreate);
  g_hHookCreate = nullptr;
  g_pWndInit = nullptr;
}

LRESULT CALLBACK CreateHook(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = g_hHookCreate;
  if (code == HCBT_CREATEWND && g_pWndInit != nullptr) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    // The dialog is the first window made; its controls and any message box
    // that its initialisation shows come later and stay unattached.
    if (IsDialogWindow(hWnd) && g_pWndInit->SubclassWindow(hWnd)) Unhook();
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

// The dialog procedure: the window object has already taken every message it
// handles, so the dialog manager does the rest.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
  LPCSTR name = MAKEINTRESOURCEA(m_nIDTemplate);
  HINSTANCE instance = AfxFindResourceHandle(name, RT_DIALOG);
  HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;

  g_pWndInit = this;
  g_hHookCreate = SetWindowsHookExA(WH_CBT, CreateHook, nullptr, GetCurrentThreadId());
  if (g_hHookCreate == nullptr) {
    g_pWndInit = nullptr;
    return -1;
  }
  INT_PTR result = DialogBoxParamA(instance, name, parent, AfxDlgProc, 0);
  Unhook();  // in case the dialog could not be made
  return result;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
