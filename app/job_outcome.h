// What the interface thread learns of the worker's job once the dialog has
// closed: whether the job finished, and the process exit code it leaves.
//
// The exit code adds to the marker file, which stays the caller's signal: 0,
// except for an install that did not complete (its sequence failed, or the
// dialog was closed before the job ended), which ends with ERROR_INSTALL_FAILURE.
#pragma once

constexpr int kInstallIncomplete = 1603;  // ERROR_INSTALL_FAILURE

// Worker: the job is over and it will not touch the dialog object again.
void FinishJob(int exitCode);

// Interface thread: true (and the exit code) once FinishJob has run.
bool JobFinished(int* exitCode);

// The exit code of a job that did not finish: the worker's mode decides.
int UnfinishedJobExitCode();
