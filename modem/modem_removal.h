// Removal of every modem device whose listing mentions the brand.
#pragma once
#include "job/status_callback.h"

// 1 when at least one removal was confirmed by the device-console tool.
int RemoveModemDevices(StatusCallback callback, void* context);
