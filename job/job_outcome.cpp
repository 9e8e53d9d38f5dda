#include "job/job_outcome.h"

#include <windows.h>

#include "job/setup_mode.h"

namespace {
// Each written once by one thread and read by the other: interlocked, so the
// exit code is in place before the flag shows.
volatile LONG g_exitCode = 0;
volatile LONG g_finished = 0;
volatile LONG g_started = 0;
volatile LONG g_failed = 0;
// Set by the worker only, read by the worker only.
bool g_userCancelled = false;

bool IsSet(volatile LONG* flag) { return InterlockedCompareExchange(flag, 0, 0) != 0; }
}  // namespace

void RecordJobStarted() { InterlockedExchange(&g_started, 1); }

void RecordUserCancel() { g_userCancelled = true; }

void RecordInstallFailure() { InterlockedExchange(&g_failed, 1); }

int InstallExitCode(int result) {
  if (result) return 0;
  return g_userCancelled ? kInstallCancelled : kInstallFailed;
}

void FinishJob(int exitCode) {
  InterlockedExchange(&g_exitCode, exitCode);
  InterlockedExchange(&g_finished, 1);
}

bool JobFinished(int* exitCode) {
  if (!IsSet(&g_finished)) return false;
  *exitCode = static_cast<int>(InterlockedCompareExchange(&g_exitCode, 0, 0));
  return true;
}

int UnfinishedJobExitCode() {
  if (WorkerSetupMode() != SetupMode::Install) return 0;
  // Only a user who ended a job under way declined it.
  return IsSet(&g_started) && !IsSet(&g_failed) ? kInstallCancelled : kInstallFailed;
}
