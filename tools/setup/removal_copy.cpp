#include "tools/setup/removal_copy.h"

#include <sddl.h>

#include "platform/bounded_string.h"
#include "tools/setup/installer_command.h"
#include "tools/setup/own_path.h"

namespace {

// Full control for the system and the administrators, inherited by the copy;
// the temp folder's own entries (which may let other users add files) are
// not inherited.
const char kPrivateFolderAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
const int kFolderAttempts = 100;

// A new folder "<temp>\HalvoranSetup-<process>-<n>"; a name that exists
// already (whatever it is) is never used.
DWORD MakePrivateFolder(char (&folder)[MAX_PATH]) {
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return ERROR_PATH_NOT_FOUND;
  SECURITY_ATTRIBUTES security = {sizeof security, nullptr, FALSE};
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
          kPrivateFolderAccess, SDDL_REVISION_1, &security.lpSecurityDescriptor, nullptr))
    return GetLastError();
  DWORD error = ERROR_ALREADY_EXISTS;
  const DWORD first = GetTickCount();
  for (int attempt = 0; attempt < kFolderAttempts && error == ERROR_ALREADY_EXISTS; ++attempt) {
    if (!FormatBounded(folder, sizeof folder, "%sHalvoranSetup-%lu-%lu", temp,
                       GetCurrentProcessId(), first + attempt)) {
      error = ERROR_FILENAME_EXCED_RANGE;
      break;
    }
    error = CreateDirectoryA(folder, &security) ? 0 : GetLastError();
  }
  LocalFree(security.lpSecurityDescriptor);
  return error;
}

DWORD StartCopy(const char* copy, const char* folder, const char* productCode,
                const char* options) {
  static char line[kCommandLineCapacity];
  const bool fits = options[0] != '\0'
                        ? FormatBounded(line, sizeof line, "\"%s\" %s %s %s", copy,
                                        kRemoveFromCopySwitch, productCode, options)
                        : FormatBounded(line, sizeof line, "\"%s\" %s %s", copy,
                                        kRemoveFromCopySwitch, productCode);
  if (!fits) return ERROR_FILENAME_EXCED_RANGE;
  // Its current folder is its own: a process's current folder cannot be deleted.
  return StartWithoutWaiting(copy, line, folder);
}

}  // namespace

DWORD HandOverRemoval(const char* productCode, const char* options) {
  char self[MAX_PATH], folder[MAX_PATH], copy[MAX_PATH];
  if (!OwnPath(self)) return ERROR_FILENAME_EXCED_RANGE;
  DWORD error = MakePrivateFolder(folder);
  if (error != 0) return error;
  if (!FormatBounded(copy, sizeof copy, "%s\\HalvoranSetup.exe", folder)) {
    RemoveDirectoryA(folder);
    return ERROR_FILENAME_EXCED_RANGE;
  }
  error = CopyFileA(self, copy, TRUE) ? StartCopy(copy, folder, productCode, options)
                                      : GetLastError();
  if (error != 0) {
    DeleteFileA(copy);
    RemoveDirectoryA(folder);
    return error;
  }
  // Deleted at the next restart, in this order: the folder is empty by then.
  MoveFileExA(copy, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return 0;
}
