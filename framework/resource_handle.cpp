#include "framework/resource_handle.h"

#include "framework/win_app.h"

HINSTANCE AfxFindResourceHandle(LPCSTR /*lpszName*/, LPCSTR /*lpszType*/) {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_hInstance != nullptr) return app->m_hInstance;
  return GetModuleHandleA(nullptr);
}
