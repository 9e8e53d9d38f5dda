// The product's phonebook entry in the user's default phonebook (no phonebook
// path on any call), bound to the Zorvane modem, with stored credentials.
// Each operation binds the library it needs and releases it before returning.
#include "modem/dialup_entry.h"

#include <windows.h>
#include <ras.h>
#include <rasdlg.h>
#include <string.h>

#include "job/product_names.h"
#include "platform/bounded_string.h"
#include "platform/ras_api_binding.h"
#include "platform/ras_dlg_binding.h"
#include "platform/scoped_handles.h"

namespace {

const char kAutoDialKey[] = "Software\\Microsoft\\RAS AutoDial\\Default";
const char kAutoDialValue[] = "DefaultInternet";

}  // namespace

int CreateDialUpEntry(StatusCallback callback, void* context) {
  // Release 2.0's entry goes whether or not it is there.
  DeleteDialUpEntry(kEarlierEntryName, callback);
  if (callback == nullptr) return 0;
  BoundGroup<BindRasApi, ReleaseRasApi> rasApi;
  if (!rasApi) return 0;
  callback(context, "Setting up dial up networking connection...\n");

  int result = 0;
  RASENTRYA entry;
  BuildEntryRecord(&entry);
  if (RasApiBinding::RasSetEntryPropertiesA(nullptr, kEntryName, &entry, sizeof entry, nullptr, 0) == 0) {
    RASDIALPARAMSA params;
    BuildDialParams(&params);
    // FALSE: the password is stored with the entry.
    if (RasApiBinding::RasSetEntryDialParamsA(nullptr, &params, FALSE) == 0) {
      ClearAutoDialDefault();
      result = 1;
    }
  }
  return result;
}

int DeleteDialUpEntry(const char* entryName, StatusCallback callback) {
  if (callback == nullptr) return 0;
  BoundGroup<BindRasApi, ReleaseRasApi> rasApi;
  if (!rasApi) return 0;
  return RasApiBinding::RasDeleteEntryA(nullptr, entryName) == 0 ? 1 : 0;
}

void ClearAutoDialDefault() {
  ScopedKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kAutoDialKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                    key.Receive()) != ERROR_SUCCESS)
    return;
  const size_t entryLength = strlen(kEntryName);
  for (DWORD index = 0;; ++index) {
    char name[MAX_PATH];
    char data[MAX_PATH];
    memset(name, 0, sizeof name);
    memset(data, 0, sizeof data);
    DWORD nameCapacity = sizeof name;
    DWORD dataSize = sizeof data;
    // Ends at the last value, and at a value whose name or data does not fit.
    if (RegEnumValueA(key.Get(), index, name, &nameCapacity, nullptr, nullptr,
                      reinterpret_cast<BYTE*>(data), &dataSize) != ERROR_SUCCESS)
      break;
    // Whichever value names the entry, the default is the one that goes.
    if (strncmp(data, kEntryName, entryLength) == 0) {
      RegDeleteValueA(key.Get(), kAutoDialValue);
      break;
    }
  }
}

void ShowDialDialog(void* context) {
  BoundGroup<BindRasDlg, ReleaseRasDlg> rasDlg;
  if (!rasDlg) return;
  RASDIALDLG dialog;
  memset(&dialog, 0, sizeof dialog);
  dialog.dwSize = sizeof(RASDIALDLG);
  dialog.hwndOwner = ContextWindow(context);
  char entryName[sizeof kEntryName];
  CopyBounded(entryName, kEntryName);
  RasDlgBinding::RasDialDlgA(nullptr, entryName, nullptr, &dialog);
}
