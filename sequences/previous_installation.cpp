// Clean-up of release 2.0 before an install: after the user agrees, its four
// registry trees, the contents of its installation directory and its Start-menu
// program group go. Only a 32-bit process on 64-bit Windows looks for it.
#include "sequences/previous_installation.h"

#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include "framework/message_box.h"
#include "job/job_outcome.h"
#include "job/product_names.h"
#include "platform/probes.h"
#include "records/installed_product.h"
#include "records/registry_tree.h"
#include "sequences/contents_pattern.h"
#include "sequences/removal_folder_guard.h"

namespace {

struct RegistryTree {
  HKEY root;
  const char* path;
};

// Removed in this order; the first that stays ends the clean-up.
const RegistryTree kEarlierReleaseTrees[] = {
    {HKEY_LOCAL_MACHINE, "Software\\Tervaloxen"},
    {HKEY_CURRENT_USER, "Software\\Tervaloxen"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tervaloxen"},
    {HKEY_LOCAL_MACHINE, kProductKeyWow64},
};

// A source list for the shell: the pattern and a second terminator.
const char kProgramGroupPattern[] =
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Zorvane\\*.*\0";
const char kProgramGroupFolder[] =
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Zorvane";

const char kQuestion[] =
    "Setup has detected a previous installation of Halvoran v2.0. This will be automatically "
    "uninstalled. Continue?";
const char kRemoved[] = "The previous installation has been successfully removed.";
// Shown in the status line, with the directory as recorded, when its files stay.
const char kFilesLeftInPlace[] = "Files of the previous installation left in place: \"%s\"\r\n";

// Deletes what the source list names, subfolders included, without asking,
// without any window of the shell's own, and without the recycle bin. true when
// the shell reports success.
bool DeleteByPattern(HWND owner, const char* sourceList) {
  SHFILEOPSTRUCTA operation;
  memset(&operation, 0, sizeof operation);
  operation.hwnd = owner;
  operation.wFunc = FO_DELETE;
  operation.pFrom = sourceList;
  operation.pTo = nullptr;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  return SHFileOperationA(&operation) == 0;
}

// Empties the release's installation directory, its subfolders included, when
// the directory names a folder that may be emptied; directory then holds the
// shell's source list. false, directory unchanged, when the files stay.
bool EmptyInstallationDirectory(HWND owner, char* directory, size_t capacity) {
  wchar_t folder[MAX_PATH];
  if (!ReadFolderBelowDriveRoot(directory, capacity, folder) || !MayEmptyFolder(folder) ||
      !MakeContentsPattern(directory, capacity))
    return false;
  DeleteByPattern(owner, directory);
  return true;
}

// true when the emptied group folder is gone. A group that is not there counts
// as gone: the shell may report success for a pattern in a missing folder.
bool RemoveProgramGroupFolder() {
  if (RemoveDirectoryA(kProgramGroupFolder)) return true;
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

int RemovePreviousInstallation(StatusCallback callback, void* context) {
  char directory[MAX_PATH];
  memset(directory, 0, sizeof directory);

  if (!IsWow64()) return 1;

  callback(context, "Checking for previous installation ...\r\n");
  if (!FindInstalledProduct(kEarlierReleaseBrand, directory)) return 1;
  callback(context, "Found previous installation\r\n");

  if (AfxMessageBox(kQuestion, MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND, 0) != IDOK) {
    RecordUserCancel();  // a decline, not a failure, for the exit code
    return 0;
  }

  callback(context, "Removing Registry Keys ...\r\n");
  for (const RegistryTree& tree : kEarlierReleaseTrees)
    if (!DeleteRegistryTree(tree.root, tree.path)) return 0;

  callback(context, "Removing Files ...\r\n");
  // Without a usable directory (none recorded or readable, too long for the
  // pattern, not a folder below a drive root, or one that holds more than the
  // release: see the guard) the release's files cannot be told from anything
  // else, so they stay and the clean-up goes on. Failing here would not help: its
  // records are gone, and the next run would not find it.
  const bool filesLeft =
      !EmptyInstallationDirectory(ContextWindow(context), directory, sizeof directory);

  callback(context, "Removing Program Group...\r\n");
  int result = 1;
  if (DeleteByPattern(ContextWindow(context), kProgramGroupPattern))
    result = RemoveProgramGroupFolder() ? 1 : 0;

  // Last, so that the line stands while the user reads the closing box.
  if (filesLeft) callback(context, kFilesLeftInPlace, directory);
  if (result) AfxMessageBox(kRemoved, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND, 0);
  return result;
}
