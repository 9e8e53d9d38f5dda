// The three jobs the worker thread runs, one per mode.
#pragma once
#include <stddef.h>

#include "job/status_callback.h"

// Install: non-zero when the installation is complete.
int RunInstall(StatusCallback callback, void* context);
// Uninstall and launch: always 1.
int RunUninstall(StatusCallback callback, void* context);
int RunLaunch(StatusCallback callback, void* context);

// Starts the web accelerator's front end when the accelerator is installed in
// a directory that MakeFrontEndPath accepts.
void LaunchAccelerator();

// "<directory>\tervgui.exe" into path (capacity bytes) when directory names one
// place whatever the current folder and drive are: "X:\" or "\\server\share\"
// followed by parts, none of them empty, "." or "..", and at most one separator
// at the end, which the path does not repeat. false (path empty or cut) for any
// other directory, for bytes that are no characters of the ANSI code page, and
// when the path does not fit.
bool MakeFrontEndPath(const char* directory, char* path, size_t capacity);
