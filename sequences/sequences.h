// The three jobs the worker thread runs, one per mode.
#pragma once
#include "app/status_channel.h"

// Install: non-zero when the installation is complete.
int RunInstall(StatusCallback callback, void* context);
// Uninstall and launch: always 1.
int RunUninstall(StatusCallback callback, void* context);
int RunLaunch(StatusCallback callback, void* context);

// Starts the web accelerator's front end when the accelerator is installed.
void LaunchAccelerator();
