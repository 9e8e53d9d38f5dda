#include "platform/ras_api_binding.h"

#include "platform/library_group.h"

typedef decltype(&::RasEnumDevicesA) PfnRasEnumDevicesA;
typedef decltype(&::RasSetEntryPropertiesA) PfnRasSetEntryPropertiesA;
typedef decltype(&::RasSetEntryDialParamsA) PfnRasSetEntryDialParamsA;
typedef decltype(&::RasDeleteEntryA) PfnRasDeleteEntryA;

namespace {

// In the order of resolution. RasEnumEntriesA and RasGetEntryPropertiesA are
// required although nothing calls them.
enum {
  kRasEnumDevicesA,
  kRasEnumEntriesA,
  kRasGetEntryPropertiesA,
  kRasSetEntryPropertiesA,
  kRasSetEntryDialParamsA,
  kRasDeleteEntryA,
  kEntryCount
};
const char* const kEntryNames[kEntryCount] = {
    "RasEnumDevicesA",        "RasEnumEntriesA",        "RasGetEntryPropertiesA",
    "RasSetEntryPropertiesA", "RasSetEntryDialParamsA", "RasDeleteEntryA",
};
void* g_entries[kEntryCount];
LibraryGroup g_rasApi = {"rasapi32.dll", kEntryNames, g_entries, kEntryCount, nullptr};

}  // namespace

int BindRasApi() { return BindLibraryGroup(g_rasApi) ? 1 : 0; }

void ReleaseRasApi() { ReleaseLibraryGroup(g_rasApi); }

DWORD RasApiBinding::RasEnumDevicesA(LPRASDEVINFOA devices, LPDWORD size, LPDWORD count) {
  PfnRasEnumDevicesA fn = EntryAs<PfnRasEnumDevicesA>(g_entries[kRasEnumDevicesA]);
  if (fn == nullptr) return kRasApiNotBound;
  return fn(devices, size, count);
}

DWORD RasApiBinding::RasSetEntryPropertiesA(LPCSTR phonebook, LPCSTR entry, LPRASENTRYA record,
                                            DWORD recordSize, LPBYTE deviceInfo,
                                            DWORD deviceInfoSize) {
  PfnRasSetEntryPropertiesA fn =
      EntryAs<PfnRasSetEntryPropertiesA>(g_entries[kRasSetEntryPropertiesA]);
  if (fn == nullptr) return kRasApiNotBound;
  return fn(phonebook, entry, record, recordSize, deviceInfo, deviceInfoSize);
}

DWORD RasApiBinding::RasSetEntryDialParamsA(LPCSTR phonebook, LPRASDIALPARAMSA params,
                                            BOOL removePassword) {
  PfnRasSetEntryDialParamsA fn =
      EntryAs<PfnRasSetEntryDialParamsA>(g_entries[kRasSetEntryDialParamsA]);
  if (fn == nullptr) return kRasApiNotBound;
  return fn(phonebook, params, removePassword);
}

DWORD RasApiBinding::RasDeleteEntryA(LPCSTR phonebook, LPCSTR entry) {
  PfnRasDeleteEntryA fn = EntryAs<PfnRasDeleteEntryA>(g_entries[kRasDeleteEntryA]);
  if (fn == nullptr) return kRasApiNotBound;
  return fn(phonebook, entry);
}
