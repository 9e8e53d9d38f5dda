// CHalvoranInstallWinAppApp: the application. Its one object, theApp, is built
// before the entry point runs; InitInstance shows the progress dialog modally
// and then lets the process end.
#pragma once
#include "framework/win_app.h"

class CHalvoranInstallWinAppApp : public CWinApp {
 public:
  CHalvoranInstallWinAppApp();
  ~CHalvoranInstallWinAppApp() override;

  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};

extern CHalvoranInstallWinAppApp theApp;
