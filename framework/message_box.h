// AfxMessageBox: a modal message box captioned with the application's name.
#pragma once
#include <windows.h>

int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpContext = 0);

// The application's name: by default the program's file name without its extension.
const char* AfxGetAppName();
