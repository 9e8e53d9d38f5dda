// Per-program Wine settings, HKCU\Software\Wine\AppDefaults\<exe name>: the
// Windows version that Wine reports to programs of that file name, and DLL
// overrides. Wine reads them when such a program starts, so a test copies a
// program under a name of its own, sets them, and runs it. The key is deleted
// first and again when the object goes.
#pragma once
#include <string>

class WineAppDefaults {
 public:
  explicit WineAppDefaults(const std::string& exeName);
  ~WineAppDefaults();
  WineAppDefaults(const WineAppDefaults&) = delete;
  WineAppDefaults& operator=(const WineAppDefaults&) = delete;

  // "winxp", "win2003", "vista", "win7", "win8", "win81", "win10", ...
  bool SetVersion(const char* version);
  // Makes LoadLibrary of that DLL ("rasapi32") fail, builtin and native alike.
  bool DisableDll(const char* dll);
  void Remove();

 private:
  bool SetValue(const std::string& subkey, const char* name, const char* value);
  std::string key_;
};
