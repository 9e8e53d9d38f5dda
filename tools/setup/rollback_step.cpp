#include "tools/setup/rollback_step.h"

#include <windows.h>

#include "platform/bounded_string.h"
#include "tools/setup/installer_command.h"

namespace {

const char kMarker[] = "tmp.txt";
const char kDeviceList[] = "devcon_modem.txt";
const char kProgram[] = "HalvoranInstallWinApp.exe";

bool PathIn(const char* folder, const char* name, char (&path)[MAX_PATH]) {
  return FormatBounded(path, sizeof path, "%s\\%s", folder, name);
}

// DeleteFile removes a link itself, never its target, and never a folder;
// the check before it leaves links alone altogether.
void DeleteIfOrdinaryFile(const char* folder, const char* name) {
  char path[MAX_PATH];
  if (PathIn(folder, name, path) && IsOrdinaryFile(path)) DeleteFileA(path);
}

void RunProgramUninstall(const char* folder) {
  char program[MAX_PATH];
  static char line[kCommandLineCapacity];
  if (!PathIn(folder, kProgram, program) ||
      !FormatBounded(line, sizeof line, "\"%s\" -u", program))
    return;
  DWORD exitCode = 0;
  RunAndWait(program, line, folder, &exitCode);  // -u always runs every step
}

}  // namespace

bool IsOrdinaryFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

void ClearLeftovers(const char* folder) {
  DeleteIfOrdinaryFile(folder, kMarker);
  DeleteIfOrdinaryFile(folder, kDeviceList);
}

void RollBackSetUp(const char* folder) {
  char marker[MAX_PATH];
  if (PathIn(folder, kMarker, marker) && IsOrdinaryFile(marker)) RunProgramUninstall(folder);
  ClearLeftovers(folder);
}
