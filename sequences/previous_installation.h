// Clean-up of release 2.0 before an install.
#pragma once
#include "job/status_callback.h"

// 1 when nothing stands in the way of the install (not WOW64, none found, or
// removed); 0 when the user declined or a removal step failed.
int RemovePreviousInstallation(StatusCallback callback, void* context);
