#include "tools/setup/installer_command.h"

#include "platform/bounded_string.h"
#include "platform/scoped_handles.h"
#include "platform/system_path.h"

namespace {

// The handles land in started, which closes them.
DWORD Launch(const char* program, char* commandLine, const char* currentDir,
             PROCESS_INFORMATION* started) {
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, currentDir,
                      &startup, started))
    return GetLastError();
  return 0;
}

}  // namespace

bool BuildInstallerCommand(char* line, size_t capacity, const char* program, const char* action,
                           const char* target, const char* options) {
  const bool fits = options != nullptr && options[0] != '\0'
                        ? FormatBounded(line, capacity, "\"%s\" %s \"%s\" %s", program, action,
                                        target, options)
                        : FormatBounded(line, capacity, "\"%s\" %s \"%s\"", program, action, target);
  if (!fits && capacity > 0) line[0] = '\0';
  return fits;
}

bool MsiexecPath(char (&path)[MAX_PATH]) { return BuildSystemPath("msiexec.exe", path); }

DWORD RunAndWait(const char* program, char* commandLine, const char* currentDir, DWORD* exitCode) {
  ScopedProcess started;
  PROCESS_INFORMATION* info = started.Receive();
  const DWORD error = Launch(program, commandLine, currentDir, info);
  if (error != 0) return error;
  WaitForSingleObject(info->hProcess, INFINITE);
  if (!GetExitCodeProcess(info->hProcess, exitCode)) return GetLastError();
  return 0;
}

DWORD StartWithoutWaiting(const char* program, char* commandLine, const char* currentDir) {
  ScopedProcess started;
  return Launch(program, commandLine, currentDir, started.Receive());
}
