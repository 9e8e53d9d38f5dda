// The modem driver INF: staged into the system's INF store at install, removed
// at uninstall and on roll-back.
#pragma once
#include "job/status_callback.h"

// Writes "<program's drive and directory>Zorvane.inf" into buffer (260 bytes).
// Returns 1, or 0 (with an empty buffer) when the path does not fit.
int BuildDriverInfPath(char* buffer);

// Non-zero when the INF is in the store afterwards (copied now, or already there).
int StageDriverInf(StatusCallback callback, void* context);

// Removes every store copy of Zorvane.inf, whatever the store named it (by
// "zorvane.inf" when it finds none). Non-zero when every copy found was removed;
// 0 for a null callback or when the library cannot be bound.
int UninstallDriverInf(StatusCallback callback);
