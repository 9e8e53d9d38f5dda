#include "app/job_outcome.h"

#include <windows.h>

#include "app/setup_mode.h"

namespace {
// Written once by the worker, read by the interface thread: interlocked, so the
// exit code is in place before the flag shows.
volatile LONG g_exitCode = 0;
volatile LONG g_finished = 0;
}  // namespace

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
  return WorkerSetupMode() == SetupMode::Install ? kInstallIncomplete : 0;
}
