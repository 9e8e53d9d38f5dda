#include "job/job_outcome.h"

#include <windows.h>

#include "job/setup_mode.h"

namespace {
// Written once by the worker, read by the interface thread: interlocked, so the
// exit code is in place before the flag shows.
volatile LONG g_exitCode = 0;
volatile LONG g_finished = 0;
// Set by the worker only, read by the worker only.
bool g_userCancelled = false;
}  // namespace

void RecordUserCancel() { g_userCancelled = true; }

int InstallExitCode(int result) {
  if (result) return 0;
  return g_userCancelled ? kInstallCancelled : kInstallFailed;
}

void FinishJob(int exitCode) {
  InterlockedExchange(&g_exitCode, exitCode);
  InterlockedExchange(&g_finished, 1);
}

bool JobFinished(int* exitCode) {
  if (InterlockedCompareExchange(&g_finished, 0, 0) == 0) return false;
  *exitCode = static_cast<int>(InterlockedCompareExchange(&g_exitCode, 0, 0));
  return true;
}

int UnfinishedJobExitCode() {
  return WorkerSetupMode() == SetupMode::Install ? kInstallCancelled : 0;
}
