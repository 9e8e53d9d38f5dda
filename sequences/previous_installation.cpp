// Clean-up of release 2.0 before an install: after the user agrees, its four
// registry trees, the contents of its installation directory and its Start-menu
// program group go. Only a 32-bit process on 64-bit Windows looks for it.
#include "sequences/previous_installation.h"

#include <windows.h>
#include <shlobj.h>
#include <string.h>

#include "framework/message_box.h"
#include "job/job_outcome.h"
#include "job/product_names.h"
#include "platform/bounded_string.h"
#include "platform/folder_chain.h"
#include "platform/folder_contents.h"
#include "platform/native_file_view.h"
#include "platform/nt_file_calls.h"
#include "platform/probes.h"
#include "records/installed_product.h"
#include "records/registry_tree.h"
#include "sequences/recorded_folder.h"
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

// The group in the folder where the shell keeps every user's programs.
const wchar_t kProgramGroup[] = L"\\Zorvane";

const char kQuestion[] =
    "Setup has detected a previous installation of Halvoran v2.0. This will be automatically "
    "uninstalled. Continue?";
const char kRemoved[] = "The previous installation has been successfully removed.";
// Shown in the status line, with the directory as recorded, when its files stay.
const char kFilesLeftInPlace[] = "Files of the previous installation left in place: \"%s\"\r\n";
const char kNoFolderRecorded[] =
    "Files of the previous installation left in place: no folder was recorded\r\n";

// A folder as Windows sees it: the native view is on (see NativeFileView)
// from the moment the folder is opened until its handles are closed, so that a
// check of the folder and every delete in it reach the same folders. Nothing
// that may load a library runs meanwhile.
class NativeFolder {
 public:
  bool Open(const wchar_t* path) {
    return calls_.Bind() && view_.Ready() && chain_.Open(calls_, path);
  }
  const FolderChain& Chain() const { return chain_; }
  // true when everything in it went.
  bool DeleteContents() {
    return DeleteFolderContents(calls_, chain_.Folder(), chain_.NameOnVolume(),
                                chain_.NameLength());
  }
  // The emptied folder itself; nothing of it can be used afterwards.
  bool DeleteItself() {
    const FileIdentity emptied = chain_.IdentityAt(chain_.Depth() - 1);
    const wchar_t* name = nullptr;
    size_t length = 0;
    chain_.CloseLastPart(&name, &length);
    return DeleteEmptiedFolder(calls_, chain_.Folder(), name, length, emptied);
  }

 private:
  NtFileCalls calls_;
  NativeFileView view_;  // off only after the chain's handles are closed
  FolderChain chain_;
};

// Empties the release's installation directory, its subfolders included, when
// the directory names a folder that may be emptied; false when its files stay.
// The folders to keep are found before the native view is on.
bool EmptyInstallationDirectory(const char* directory, size_t capacity) {
  wchar_t path[MAX_PATH];
  ProtectedFolders protectedFolders;
  if (!ReadFolderBelowDriveRoot(directory, capacity, path) || !protectedFolders.Find())
    return false;
  NativeFolder folder;
  if (!folder.Open(path) || !protectedFolders.MayEmpty(folder.Chain())) return false;
  folder.DeleteContents();
  return true;
}

// The program group's contents, then its folder; the result as the shell's
// delete gave it: 1 when the group is not there (or is a link, which is not
// followed: nothing there is deleted), when part of it could not be deleted, or
// when all of it went; 0 when it was emptied but its folder stays.
int RemoveProgramGroup() {
  wchar_t path[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path) !=
          S_OK ||
      !AppendBounded(path, kProgramGroup))
    return 1;
  NativeFolder group;
  if (!group.Open(path) || !group.DeleteContents()) return 1;
  return group.DeleteItself() ? 1 : 0;
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
  // Without a usable directory (none recorded or readable, not a folder below a
  // drive root, or one that holds more than the release: see the guard) the
  // release's files cannot be told from anything else, so they stay and the
  // clean-up goes on. Failing here would not help: its records are gone, and the
  // next run would not find it.
  const bool filesLeft = !EmptyInstallationDirectory(directory, sizeof directory);

  callback(context, "Removing Program Group...\r\n");
  const int result = RemoveProgramGroup();

  // Last, so that the line stands while the user reads the closing box.
  if (filesLeft && directory[0] == '\0')
    callback(context, kNoFolderRecorded);
  else if (filesLeft)
    callback(context, kFilesLeftInPlace, directory);
  if (result) AfxMessageBox(kRemoved, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND, 0);
  return result;
}
