// CWinThread: a thread of the framework, with its main window.
#pragma once
#include <windows.h>

#include "framework/cmd_target.h"

class CWnd;

class CWinThread : public CCmdTarget {
 public:
  CWinThread() = default;

  // Set-up of the thread; FALSE ends it without running its message loop.
  virtual BOOL InitInstance();
  // The message loop, until WM_QUIT; then ExitInstance.
  virtual int Run();
  // The thread's exit code.
  virtual int ExitInstance();

  virtual CWnd* GetMainWnd();

  CWnd* m_pMainWnd = nullptr;
  // What ExitInstance returns.
  int m_nExitCode = 0;
};

// The framework thread that calls this: the application's interface thread;
// null on any other thread (a worker started with CreateThread has none).
CWinThread* AfxGetThread();

// Makes the calling thread the one that AfxGetThread reports pThread for.
void AfxSetCurrentThread(CWinThread* pThread);
