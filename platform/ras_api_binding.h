// Late binding of the remote-access library (rasapi32.dll).
// BindRasApi loads it (once) and resolves all six entry points afresh; it
// succeeds only when every one resolves, also the two that are never called.
// ReleaseRasApi frees it and clears every pointer. A forwarding call on an
// unbound group returns kRasApiNotBound (library_group.h) and calls nothing.
#pragma once
#include "platform/library_group.h"
#include <windows.h>
#include <ras.h>

int BindRasApi();
void ReleaseRasApi();

namespace RasApiBinding {
DWORD RasEnumDevicesA(LPRASDEVINFOA devices, LPDWORD size, LPDWORD count);
DWORD RasSetEntryPropertiesA(LPCSTR phonebook, LPCSTR entry, LPRASENTRYA record, DWORD recordSize,
                             LPBYTE deviceInfo, DWORD deviceInfoSize);
DWORD RasSetEntryDialParamsA(LPCSTR phonebook, LPRASDIALPARAMSA params, BOOL removePassword);
DWORD RasDeleteEntryA(LPCSTR phonebook, LPCSTR entry);
}  // namespace RasApiBinding
