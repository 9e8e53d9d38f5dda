// What every job and the dialog share about progress lines: the callback the
// sequences and operations report through, the message that carries a line to
// the dialog, and the window behind a status context.
#pragma once
#include <windows.h>

#include "framework/wnd.h"

// context: the progress dialog's window object (a CWnd*), read only for its handle.
typedef int(__cdecl* StatusCallback)(void* context, const char* format, ...);

// Private message: wParam 0, lParam a heap copy (_strdup) of one line of at most
// 1023 characters. Ownership passes with a successful post. Same number as DM_SETDEFID.
#define WM_STATUSTEXT (WM_USER + 1)

// The window of a status context (the progress dialog's window object) at the
// moment of the call; null for no context.
inline HWND ContextWindow(void* context) {
  return context ? static_cast<CWnd*>(context)->m_hWnd : nullptr;
}
