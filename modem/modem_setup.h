// Modem detection and set-up: find the modem among the remote-access devices,
// or open the control panel that suits the system and wait for the user.
#pragma once
#include "job/status_callback.h"

// 1 when the device list was read (found receives 1 when some device's name
// begins with modemName), 0 otherwise. The callback is only tested for null.
int FindModemDevice(int* found, const char* modemName, StatusCallback callback);

// 1 when the modem is present after this step.
int SetUpModem(StatusCallback callback, void* context);

// The three control-panel routes; each returns only after the panel has ended.
int OpenModemCpl();
int OpenTelephonCplWithCpl64();
int OpenTelephonCplInProcess();
