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

// The entry and dial records are passed in their Windows XP layouts, which
// every later system accepts: platform/record_sizes.cpp holds the build to them.
static_assert(sizeof kDialInNumber == 13 && kDialInNumber[0] == '0' && kDialInNumber[1] == '0',
              "twelve digits in international form");

namespace {

const char kUserName[] = "KX4.7";
const char kPassword[] = "KX4.7";
const char kAutoDialKey[] = "Software\\Microsoft\\RAS AutoDial\\Default";
const char kAutoDialValue[] = "DefaultInternet";

constexpr DWORD kEntryOptions = RASEO_IpHeaderCompression | RASEO_RemoteDefaultGateway |
                                RASEO_SwCompression | RASEO_SecureLocalFiles | RASEO_RequirePAP |
                                RASEO_RequireSPAP | RASEO_PreviewPhoneNumber |
                                RASEO_SharedPhoneNumbers | RASEO_PreviewUserPw |
                                RASEO_ShowDialingProgress | RASEO_RequireCHAP |
                                RASEO_RequireMsCHAP | RASEO_RequireMsCHAP2;
static_assert(kEntryOptions == 0x3DAD0218, "");
constexpr DWORD kEntryOptions2 = RASEO2_SecureFileAndPrint | RASEO2_SecureClientForMSNet |
                                 RASEO2_DontNegotiateMultilink | RASEO2_SharePhoneNumbers;
static_assert(kEntryOptions2 == 0x207, "");

void BuildEntryRecord(RASENTRYA* entry) {
  memset(entry, 0, sizeof *entry);
  entry->dwSize = sizeof(RASENTRYA);
  entry->dwfOptions = kEntryOptions;
  CopyBounded(entry->szLocalPhoneNumber, kDialInNumber);
  entry->dwfNetProtocols = RASNP_Ip;
  entry->dwFramingProtocol = RASFP_Ppp;
  CopyBounded(entry->szDeviceType, RASDT_Modem);
  CopyBounded(entry->szDeviceName, kModemName);
  entry->dwType = RASET_Phone;
  entry->dwEncryptionType = ET_Optional;
  entry->dwfOptions2 = kEntryOptions2;
  entry->dwRedialCount = 3;
  entry->dwRedialPause = 60;
}

void BuildDialParams(RASDIALPARAMSA* params) {
  memset(params, 0, sizeof *params);
  params->dwSize = sizeof(RASDIALPARAMSA);
  CopyBounded(params->szEntryName, kEntryName);
  CopyBounded(params->szUserName, kUserName);
  CopyBounded(params->szPassword, kPassword);
}

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
