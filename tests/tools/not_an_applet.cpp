// not_an_applet.dll: a valid library without a CPlApplet entry.
#include <windows.h>

extern "C" __declspec(dllexport) int NotAnApplet() { return 0; }
