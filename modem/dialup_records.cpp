// Both records are passed in their Windows XP layouts, which every later
// system accepts: platform/record_sizes.cpp holds the build to them.
#include "modem/dialup_records.h"

#include <string.h>

#include "job/product_names.h"
#include "platform/bounded_string.h"

static_assert(sizeof kDialInNumber == 13 && kDialInNumber[0] == '0' && kDialInNumber[1] == '0',
              "twelve digits in international form");

namespace {

const char kUserName[] = "KX4.7";
const char kPassword[] = "KX4.7";

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

}  // namespace

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
