#include "framework/win_thread.h"

namespace {
// The framework has one thread of its own, the interface thread.
CWinThread* g_pThread = nullptr;
DWORD g_threadId = 0;
}  // namespace

CWinThread* AfxGetThread() {
  return g_pThread != nullptr && GetCurrentThreadId() == g_threadId ? g_pThread : nullptr;
}

void AfxSetCurrentThread(CWinThread* pThread) {
  g_pThread = pThread;
  g_threadId = GetCurrentThreadId();
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::Run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (msg.message == WM_QUIT) m_nExitCode = static_cast<int>(msg.wParam);
  return ExitInstance();
}

int CWinThread::ExitInstance() { return m_nExitCode; }

CWnd* CWinThread::GetMainWnd() { return m_pMainWnd; }
