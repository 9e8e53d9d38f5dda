#include "app/halvoran_install_win_app.h"

#include "job/job_outcome.h"
#include "framework/control_container.h"
#include "platform/library_group.h"
#include "ui/halvoran_install_win_app_dlg.h"

CHalvoranInstallWinAppApp theApp;

BEGIN_MESSAGE_MAP(CHalvoranInstallWinAppApp, CWinApp)
  ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CHalvoranInstallWinAppApp::CHalvoranInstallWinAppApp() : CWinApp(nullptr) {}

CHalvoranInstallWinAppApp::~CHalvoranInstallWinAppApp() = default;

BOOL CHalvoranInstallWinAppApp::InitInstance() {
  // The installer's current folder (often its downloads) is no place to load
  // libraries from.
  RemoveCurrentFolderFromLibrarySearch();
  AfxEnableControlContainer(nullptr);
  {
    CHalvoranInstallWinAppDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The user may end the dialog (Escape, close box) while the job still runs,
    // or the worker never started. The worker may still read this dialog
    // object, so the process ends here and now, before the object goes.
    int exitCode = 0;
    if (!JobFinished(&exitCode)) {
      TerminateProcess(GetCurrentProcess(), UnfinishedJobExitCode());
      ExitProcess(UnfinishedJobExitCode());
    }
    m_nExitCode = exitCode;
  }
  return FALSE;
}
