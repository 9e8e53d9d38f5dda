// AfxMessageBox: a modal message box captioned with the application's name.
#pragma once
#include <windows.h>

int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpContext = 0);

// The application's name (CWinApp::m_pszAppName); by default, and when there is no
// application object, the program's file name without its extension.
const char* AfxGetAppName();
