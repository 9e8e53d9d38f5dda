#include "worker/worker_thread.h"

#include "job/job_outcome.h"
#include "job/setup_mode.h"
#include "worker/status_channel.h"
#include "worker/success_marker.h"
#include "sequences/sequences.h"

DWORD WINAPI WorkerThread(LPVOID parameter) {
  int exitCode = 0;
  switch (WorkerSetupMode()) {
    case SetupMode::Install: {
      int result = RunInstall(ReportStatus, parameter);
      if (result) CreateSuccessMarker();
      exitCode = InstallExitCode(result);
      break;
    }
    case SetupMode::Uninstall:
      RunUninstall(ReportStatus, parameter);
      break;
    case SetupMode::Launch:
      RunLaunch(ReportStatus, parameter);
      break;
    case SetupMode::Version:
    case SetupMode::None:
      break;
  }
  // The handle is read before the job is marked finished: from then on the
  // dialog object may be destroyed at any moment.
  HWND dialog = ContextWindow(parameter);
  FinishJob(exitCode);
  if (dialog != nullptr) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
  return 0;
}

void StartWorkerThread(CWnd* dialog) {
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, WorkerThread, dialog, 0, &threadId);
  if (thread == nullptr) return;
  // Before the dialog handles any input: closing it from now on ends a job under way.
  RecordJobStarted();
  CloseHandle(thread);
}
