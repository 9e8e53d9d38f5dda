// The three jobs the worker thread runs, one per mode.
#pragma once
#include "job/status_callback.h"

// Install: non-zero when the installation is complete.
int RunInstall(StatusCallback callback, void* context);
// Uninstall and launch: always 1.
int RunUninstall(StatusCallback callback, void* context);
int RunLaunch(StatusCallback callback, void* context);

// Starts the web accelerator's front end when the accelerator is installed in
// a directory that IsDriveRootedDirectory accepts.
void LaunchAccelerator();

// True for "X:\" followed by parts, none of them empty, "." or "..": a
// directory that names one place whatever the current folder and drive are.
// Read as characters of the ANSI code page: false for bytes that are not.
bool IsDriveRootedDirectory(const char* path);
