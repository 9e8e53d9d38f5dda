#include "tests/support/wine_app_defaults.h"

#include <windows.h>

WineAppDefaults::WineAppDefaults(const std::string& exeName)
    : key_("Software\\Wine\\AppDefaults\\" + exeName) {
  Remove();
}

WineAppDefaults::~WineAppDefaults() { Remove(); }

bool WineAppDefaults::SetVersion(const char* version) { return SetValue("", "Version", version); }

bool WineAppDefaults::DisableDll(const char* dll) { return SetValue("\\DllOverrides", dll, ""); }

void WineAppDefaults::Remove() {
  // Only the two levels this class writes.
  RegDeleteKeyA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
  // The parent goes too when nothing else is left in it (a key with subkeys stays).
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults");
}

bool WineAppDefaults::SetValue(const std::string& subkey, const char* name, const char* value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + subkey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>(lstrlenA(value) + 1));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}
