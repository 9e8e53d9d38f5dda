// AfxMessageBox: a modal message box captioned with the application's name.
#pragma once
#include <windows.h>

int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpContext = 0);

// The caption is the application's name: AfxGetAppName (win_app.h).
