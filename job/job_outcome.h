// What the interface thread learns of the worker's job once the dialog has
// closed: whether the job finished, and the process exit code it leaves.
//
// The exit code adds to the marker file, which stays the caller's signal. It
// follows the convention product installers know from Windows Installer: 0,
// except for an install that did not complete: ERROR_INSTALL_USEREXIT when the
// user declined (refused the removal of the earlier release, or closed the
// dialog while the job was under way), ERROR_INSTALL_FAILURE when it failed (a
// step failed, or the job never started: no dialog, no worker), also when the
// user then closed the dialog while the failure was being reported.
#pragma once

constexpr int kInstallCancelled = 1602;  // ERROR_INSTALL_USEREXIT
constexpr int kInstallFailed = 1603;     // ERROR_INSTALL_FAILURE

// Interface thread: the worker is under way.
void RecordJobStarted();

// A step of the job: the user declined to go on.
void RecordUserCancel();

// A step of the install failed; called before the user is told, so that a
// dialog closed from then on counts as a failed install, not a cancelled one.
void RecordInstallFailure();

// The exit code of an install whose sequence returned result.
int InstallExitCode(int result);

// Worker: the job is over and it will not touch the dialog object again.
void FinishJob(int exitCode);

// Interface thread: true (and the exit code) once FinishJob has run.
bool JobFinished(int* exitCode);

// The exit code of a job that did not finish (the user closed the dialog
// first, or the job never started): the worker's mode decides.
int UnfinishedJobExitCode();
