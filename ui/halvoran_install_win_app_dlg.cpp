#include "ui/halvoran_install_win_app_dlg.h"

#include <new>
#include <stdlib.h>

#include "framework/message_box.h"
#include "framework/win_app.h"
#include "job/setup_mode.h"
#include "ui/icon_origin.h"
#include "ui/instruction_text.h"
#include "worker/status_channel.h"
#include "worker/worker_thread.h"
#include "product_version.h"  // generated: the release
#include "ui/resource.h"

BEGIN_MESSAGE_MAP(CHalvoranInstallWinAppDlg, CDialog)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CHalvoranInstallWinAppDlg::CHalvoranInstallWinAppDlg(CWnd* pParent)
    : CDialog(IDD_HALVORANINSTALLWINAPP_DIALOG, pParent) {
  m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CHalvoranInstallWinAppDlg::~CHalvoranInstallWinAppDlg() { delete m_pWhiteBrush; }

BOOL CHalvoranInstallWinAppDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  CBrush* whiteBrush = new (std::nothrow) CBrush;
  if (whiteBrush != nullptr && !whiteBrush->CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF))) {
    delete whiteBrush;
    whiteBrush = nullptr;
  }
  m_pWhiteBrush = whiteBrush;

  switch (DialogSetupMode()) {
    case SetupMode::Install:
      ShowInstructionFile(GetDlgItem(IDC_INSTRUCTION_TEXT), "ModemInstallWinAppText.txt");
      break;
    case SetupMode::Uninstall:
      ShowInstructionFile(GetDlgItem(IDC_INSTRUCTION_TEXT), "ModemUninstallWinAppText.txt");
      break;
    case SetupMode::Version:
      AfxMessageBox(HALVORAN_BUILD_ID_TEXT, MB_OK, 0);
      break;
    case SetupMode::Launch:
      SetWindowText("Launching Zorvane Halvoran");
      break;
    case SetupMode::None:
      break;
  }

  if (CWnd* closeButton = GetDlgItem(IDOK)) closeButton->EnableWindow(FALSE);

  CWinThread* thread = AfxGetThread();
  CWnd* mainWnd = thread ? thread->GetMainWnd() : nullptr;
  StartWorkerThread(mainWnd ? mainWnd : this);
  return TRUE;
}

LRESULT CHalvoranInstallWinAppDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // A status line from the worker; the dialog manager's DM_SETDEFID has the
  // same number and no string, and is swallowed here too.
  if (message == WM_STATUSTEXT) {
    char* line = reinterpret_cast<char*>(lParam);
    if (line != nullptr) {
      if (CWnd* status = GetDlgItem(IDC_STATUS_TEXT)) status->SetWindowText(line);
      free(line);
    }
    return 0;
  }
  return CDialog::DefWindowProc(message, wParam, lParam);
}

void CHalvoranInstallWinAppDlg::OnOK() { CDialog::OnOK(); }

void CHalvoranInstallWinAppDlg::OnCancel() { CDialog::OnCancel(); }

void CHalvoranInstallWinAppDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = IconOrigin(rect.right - rect.left, cxIcon);
    int y = IconOrigin(rect.bottom - rect.top, cyIcon);
    dc.DrawIcon(x, y, m_hIcon);
  } else {
    CDialog::OnPaint();
  }
}

HCURSOR CHalvoranInstallWinAppDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

HBRUSH CHalvoranInstallWinAppDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  // The read-only text area (it asks as a static) shows black on white; every
  // other control keeps the dialog's colours.
  bool textAreaColours = nCtlColor == CTLCOLOR_MSGBOX || nCtlColor == CTLCOLOR_EDIT ||
                         nCtlColor == CTLCOLOR_BTN || nCtlColor == CTLCOLOR_STATIC;
  if (textAreaColours && pWnd->GetDlgCtrlID() == IDC_INSTRUCTION_TEXT) {
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->SetBkColor(RGB(0xFF, 0xFF, 0xFF));
    return m_pWhiteBrush ? m_pWhiteBrush->GetSafeHandle() : nullptr;
  }
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
