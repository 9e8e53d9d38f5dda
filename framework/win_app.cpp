#include "framework/win_app.h"

#include "framework/message_box.h"
#include "framework/resource_handle.h"

namespace {
CWinApp* g_pApp = nullptr;
}  // namespace

CWinApp* AfxGetApp() { return g_pApp; }

CWinApp::CWinApp(const char* lpszAppName)
    : m_pszAppName(lpszAppName ? lpszAppName : AfxGetAppName()) {
  g_pApp = this;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
  LPCSTR name = MAKEINTRESOURCEA(nIDResource);
  return ::LoadIconA(AfxFindResourceHandle(name, RT_GROUP_ICON), name);
}

void CWinApp::OnHelp() {}
