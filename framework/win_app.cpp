#include "framework/win_app.h"

#include <string.h>

#include "platform/bounded_string.h"

namespace {
CWinApp* g_pApp = nullptr;

// The program's file name without its extension.
const char* ProgramTitle() {
  static char name[MAX_PATH];
  if (name[0] == '\0') {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return "";
    const char* base = strrchr(path, '\\');
    base = base ? base + 1 : path;
    CopyBounded(name, base);
    if (char* dot = strrchr(name, '.')) *dot = '\0';
  }
  return name;
}
}  // namespace

const char* AfxGetAppName() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pszAppName != nullptr) return app->m_pszAppName;
  return ProgramTitle();
}

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

HINSTANCE AfxFindResourceHandle(LPCSTR /*lpszName*/, LPCSTR /*lpszType*/) {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_hInstance != nullptr) return app->m_hInstance;
  return GetModuleHandleA(nullptr);
}
