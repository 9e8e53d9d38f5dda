// Installed-product lookup: the accelerator's brand record says which brand is
// installed, its product record says where. Both live under HKEY_LOCAL_MACHINE,
// in the 32-bit program's own view: below Wow6432Node on 64-bit Windows.
#include "records/installed_product.h"

#include <windows.h>
#include <string.h>

#include "job/product_names.h"
#include "platform/probes.h"
#include "platform/scoped_handles.h"

namespace {

const char kBrandValuePrefix[] = "APP";
const char kDirectoryValuePrefix[] = "InstallationDir";

// Capacity of both scan buffers: 259 name characters and a terminator, 260 data bytes.
constexpr DWORD kScanSize = MAX_PATH;

// One value as the enumeration delivers it. The data array has a spare byte that
// the registry never fills, so that data without a terminator still compares as a
// string that ends at the buffer's end.
struct ScannedValue {
  char name[kScanSize];
  DWORD nameSize;
  BYTE data[kScanSize + 1];
  DWORD dataSize;
};

// The key of HKEY_LOCAL_MACHINE at path, opened to read its values.
bool OpenForQuery(const char* path, ScopedKey* key) {
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, key->Receive()) == ERROR_SUCCESS;
}

// Reads the value at index into a freshly zeroed record. Any status but success
// (the end of the values, or a name or data too long for the buffers) ends a scan.
bool ReadValue(HKEY key, DWORD index, DWORD* type, ScannedValue* value) {
  memset(value, 0, sizeof *value);
  value->nameSize = kScanSize;
  value->dataSize = kScanSize;
  return RegEnumValueA(key, index, value->name, &value->nameSize, nullptr, type, value->data,
                       &value->dataSize) == ERROR_SUCCESS;
}

bool BeginsWith(const char* text, const char* prefix) {
  return strncmp(text, prefix, strlen(prefix)) == 0;
}

// The first value named "APP..." decides; later brand values are not looked at.
bool FirstBrandValueNames(HKEY brandKey, const char* brandName) {
  ScannedValue value;
  for (DWORD index = 0; ReadValue(brandKey, index, nullptr, &value); ++index) {
    if (!BeginsWith(value.name, kBrandValuePrefix)) continue;
    return BeginsWith(reinterpret_cast<const char*>(value.data), brandName);
  }
  return false;
}

// Copies the directory value into the caller's 260-byte buffer. A value of exactly
// 260 bytes is taken only when its text ends inside it (a 259-character path with
// its terminator): cutting real text would name another folder, and the clean-up
// empties the folder named here.
void CopyDirectory(const ScannedValue& value, char* directory) {
  const char* text = reinterpret_cast<const char*>(value.data);
  if (value.dataSize < kScanSize) {
    strncpy(directory, text, value.dataSize);
    directory[value.dataSize] = '\0';
  } else if (value.dataSize == kScanSize && memchr(text, '\0', kScanSize) != nullptr) {
    strncpy(directory, text, kScanSize);
  }
}

void ReadInstallationDirectory(HKEY productKey, char* directory) {
  ScannedValue value;
  DWORD type = 0;  // asked for, not used: value types are not examined
  for (DWORD index = 0; ReadValue(productKey, index, &type, &value); ++index) {
    if (!BeginsWith(value.name, kDirectoryValuePrefix)) continue;
    if (directory != nullptr) CopyDirectory(value, directory);
    return;
  }
}

}  // namespace

int FindInstalledProduct(const char* brandName, char* directory) {
  if (brandName == nullptr) return 0;

  bool found = false;
  {
    ScopedKey brandKey;
    if (!OpenForQuery(IsWow64() ? kBrandKeyWow64 : kBrandKey, &brandKey)) return 0;
    found = FirstBrandValueNames(brandKey.Get(), brandName);
  }
  if (!found) return 0;

  ScopedKey productKey;
  if (!OpenForQuery(IsWow64() ? kProductKeyWow64 : kProductKey, &productKey)) return 1;
  ReadInstallationDirectory(productKey.Get(), directory);
  return 1;
}
