// CHalvoranInstallWinAppDlg: the progress dialog, the program's only window.
// It shows the instruction text of the mode, the newest status line of the
// worker, two pictures and a Close button that stays disabled; it starts the
// worker while it initialises and closes when the worker posts Cancel.
#pragma once
#include <windows.h>

#include "framework/brush.h"
#include "framework/dialog.h"
#include "framework/paint_dc.h"

class CHalvoranInstallWinAppDlg : public CDialog {
 public:
  explicit CHalvoranInstallWinAppDlg(CWnd* pParent = nullptr);
  ~CHalvoranInstallWinAppDlg() override;

  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnInitDialog() override;

 protected:
  void OnOK() override;
  void OnCancel() override;

  void OnPaint();
  HCURSOR OnQueryDragIcon();
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

  DECLARE_MESSAGE_MAP()

  HICON m_hIcon;
  CBrush* m_pWhiteBrush = nullptr;  // the text area's background; null if it cannot be made
};
