// Removal of every modem device whose listing mentions the brand.
#pragma once
#include <stddef.h>

#include "job/status_callback.h"

// 1 when at least one removal was confirmed by the device-console tool.
int RemoveModemDevices(StatusCallback callback, void* context);

// The command that removes the device of one listing line, written into command
// (kRemovalCommandSize bytes): the device console of the Windows underneath, the
// identifier quoted, and the filter's pattern that confirms its removal. false
// when the line gives no identifier that can safely be put on that command line.
constexpr size_t kRemovalCommandSize = 500;
bool BuildRemovalCommand(const char* line, char* command);
