#include "tests/support/wine_app_defaults.h"

#include <windows.h>

#include "platform/scoped_handles.h"

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
  ScopedKey key;
  return RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + subkey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                         nullptr, key.Receive(), nullptr) == ERROR_SUCCESS &&
         RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>(lstrlenA(value) + 1)) == ERROR_SUCCESS;
}
