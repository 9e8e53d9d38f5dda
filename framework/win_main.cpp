// The program's entry point. It lies in an object linked into the program
// itself: the C run-time asks for WinMain only after the static libraries are
// searched.
#include "framework/win_main.h"

#include "framework/win_app.h"

int AfxWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/,
               int /*nCmdShow*/) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;  // no application object: nothing to run
  app->m_hInstance = hInstance;
  AfxSetCurrentThread(app);
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
