// CDialog: a modal dialog made from a dialog template resource.
//
// DoModal runs the platform's modal dialog loop, so the platform's keyboard
// handling applies: the Escape key and the caption's close box arrive as the
// command IDCANCEL. IDOK reaches OnOK and IDCANCEL reaches OnCancel; each ends
// the modal loop with its own id as the result.
#pragma once
#include <windows.h>

#include "framework/wnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  // Creates the dialog and runs it until it ends; its EndDialog result, or -1
  // when the dialog cannot be made.
  virtual INT_PTR DoModal();

  // Called once the controls exist and before the dialog is first shown; TRUE
  // lets the platform set the initial focus.
  virtual BOOL OnInitDialog();

  void EndDialog(int nResult);

 protected:
  virtual void OnOK();
  virtual void OnCancel();

  DECLARE_MESSAGE_MAP()

 private:
  LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
};
