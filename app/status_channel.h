// The status channel from the worker thread to the progress dialog.
// Every sequence and many operations report progress lines through a
// StatusCallback; its one implementation, ReportStatus, formats the line,
// copies it to the C run-time heap and posts it to the dialog's window as
// WM_STATUSTEXT. The dialog shows the line and frees the copy.
#pragma once
#include <windows.h>

#include "framework/wnd.h"  // ContextWindow: the window behind a status context

// Private message: wParam 0, lParam a heap copy (_strdup) of one line of at most
// 1023 characters. Ownership passes with a successful post. Same number as DM_SETDEFID.
#define WM_STATUSTEXT (WM_USER + 1)

// context: the progress dialog's window object (a CWnd*), read only for its handle.
typedef int(__cdecl* StatusCallback)(void* context, const char* format, ...);

int __cdecl ReportStatus(void* context, const char* format, ...);
