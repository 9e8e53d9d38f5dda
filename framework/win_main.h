// The framework's entry point: runs the one application object.
#pragma once
#include <windows.h>

// Calls InitInstance on the application; when that returns FALSE the program
// ends with ExitInstance's code, otherwise after the message loop (Run).
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
