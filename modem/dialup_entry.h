// The dial-up phonebook entry "Halvoran 3.2" and the AutoDial default.
#pragma once
#include "job/status_callback.h"
#include "modem/dialup_records.h"

// Deletes "Halvoran 2.0", writes "Halvoran 3.2" with its dial parameters, and
// clears the AutoDial default that names it. 1 when both writes succeeded.
int CreateDialUpEntry(StatusCallback callback, void* context);

// 1 when the platform deleted the entry; 0 for a null callback (nothing is done).
int DeleteDialUpEntry(const char* entryName, StatusCallback callback);

// Deletes HKCU AutoDial "DefaultInternet" when a value of the AutoDial key names the entry.
void ClearAutoDialDefault();

// Opens the system's dial dialog for the entry, owned by the context's window.
void ShowDialDialog(void* context);
