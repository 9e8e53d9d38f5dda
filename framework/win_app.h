// CWinApp: the application. Exactly one global object of a class derived from
// it exists; its constructor runs before the entry point (AfxWinMain), which
// then calls InitInstance on it.
#pragma once
#include <windows.h>

#include "framework/win_thread.h"

// The framework's standard Help command.
#define ID_HELP 0xE146

class CWinApp : public CWinThread {
 public:
  // lpszAppName null: the application's name is the program's file name
  // without its extension.
  explicit CWinApp(const char* lpszAppName = nullptr);
  ~CWinApp() override;

  // An icon resource of the application, loaded with LoadIconA from the module
  // that holds it.
  HICON LoadIcon(UINT nIDResource) const;

  // The Help command: no help file ships with the program, so there is nothing to open.
  void OnHelp();

  const char* m_pszAppName;
  HINSTANCE m_hInstance = nullptr;
};

// The one application object; null before it is constructed.
CWinApp* AfxGetApp();

// The application's name (CWinApp::m_pszAppName); by default, and when there is no
// application object, the program's file name without its extension.
const char* AfxGetAppName();

// Which module holds a resource. The program carries all its resources itself
// (there are no resource libraries), so that is the program's own module.
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
