// Which module holds a resource. The program carries all its resources itself
// (there are no resource libraries), so that is the program's own module.
#pragma once
#include <windows.h>

HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
