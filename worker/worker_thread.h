// The worker thread: runs the job of this run's mode, leaves the success
// marker after a complete install, and then closes the progress dialog.
#pragma once
#include <windows.h>

class CWnd;

// Thread start routine; parameter: the progress dialog's window object, the
// context of every status line. Returns 0.
DWORD WINAPI WorkerThread(LPVOID parameter);

// Starts WorkerThread for the dialog and lets it run on its own: the thread is
// never waited for. When it cannot start, no job runs and the dialog stays
// until the user closes it.
void StartWorkerThread(CWnd* dialog);
