#include "tests/fakes/fake_runtime.h"

#include <stdlib.h>
#include <string.h>

namespace fakeruntime {

namespace {

// Calls of function already in the log (the call in progress is logged last).
int PreviousCalls(const char* library, const char* function) {
  std::string log;
  fakefiles::ReadFileBytes(fakefiles::kCallLog, &log);
  std::string prefix = std::string(library) + " " + function + " ";
  int n = 0;
  for (const std::string& line : fakefiles::SplitLines(log))
    if (line.compare(0, prefix.size(), prefix) == 0) ++n;
  return n;
}

}  // namespace

void Log(const char* library, const std::string& rest) {
  // Appends survive the library being freed and loaded again, and a write of
  // one line at a time keeps lines whole.
  std::string line = std::string(library) + " " + rest + "\n";
  HANDLE f = CreateFileA(fakefiles::kCallLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(f);
}

void LogModuleEvent(const char* library, DWORD reason, LPVOID reserved) {
  DWORD error = GetLastError();
  if (reason == DLL_PROCESS_ATTACH) {
    // Which file was loaded: this code lies in the fake itself.
    HMODULE self = nullptr;
    char path[MAX_PATH] = {};
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&LogModuleEvent), &self);
    GetModuleFileNameA(self, path, sizeof path);
    Log(library, "attach module=" + fakefiles::Text(path));
  }
  // A detach at process end comes with a non-null reserved argument.
  if (reason == DLL_PROCESS_DETACH) Log(library, reserved ? "exit" : "detach");
  SetLastError(error);
}

bool Scripted(const char* library, const char* function, const char* kind, std::string* value) {
  std::string script;
  if (!fakefiles::ReadFileBytes(fakefiles::kScript, &script)) return false;
  std::string numbered = std::string(function) + "#" + std::to_string(PreviousCalls(library, function) + 1);
  std::string kinded = kind ? std::string(function) + "." + kind : std::string();
  std::string keys[3] = {numbered, kinded, function};
  for (const std::string& wanted : keys) {
    if (wanted.empty()) continue;
    for (std::string line : fakefiles::SplitLines(script)) {
      while (!line.empty() && line.back() == ' ') line.pop_back();
      size_t space = line.find(' ');
      if (line.empty() || line[0] == '#' || space == std::string::npos) continue;
      if (line.compare(0, space, wanted) != 0 || space != wanted.size()) continue;
      *value = line.substr(line.find_first_not_of(' ', space));
      return true;
    }
  }
  return false;
}

unsigned long ScriptedNumber(const char* library, const char* function, const char* kind,
                             unsigned long natural, bool* forced) {
  std::string value;
  bool isForced = Scripted(library, function, kind, &value);
  if (forced) *forced = isForced;
  // Negative numbers wrap as the platform's DWORD results do ("-1" is 0xFFFFFFFF).
  return isForced ? static_cast<unsigned long>(strtoll(value.c_str(), nullptr, 0)) : natural;
}

}  // namespace fakeruntime
