// "remove @<instance id>": removes one device through its class installer.
#pragma once

// Writes "<id> : Removed" (with a note when a restart must finish it) or
// "<id> : Not removed (...)"; returns the exit code (0 removed, 1 removed but a
// restart is needed, 2 not removed).
int RemoveDevice(const char* instanceId);
