// The status channel from the worker thread to the progress dialog.
// Every sequence and many operations report progress lines through a
// StatusCallback; its one implementation, ReportStatus, formats the line,
// copies it to the C run-time heap and posts it to the dialog's window as
// WM_STATUSTEXT. The dialog shows the line and frees the copy.
#pragma once
#include "job/status_callback.h"

int __cdecl ReportStatus(void* context, const char* format, ...);
