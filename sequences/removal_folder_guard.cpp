#include "sequences/removal_folder_guard.h"

#include <windows.h>
#include <shlobj.h>
#include <wchar.h>

#include "platform/bounded_string.h"

namespace {

enum class Keep {
  kTree,    // the folder and everything in it, at any depth
  kFolder,  // the folder itself; what it holds may be emptied
};

// Where a protected folder is read from. A kind the system lacks (no 32-bit
// folders on 32-bit Windows, no "Default" value before Vista) is passed over.
enum class Source {
  kWindowsFolder,  // GetSystemWindowsDirectory (the shell's CSIDL_WINDOWS may be per user)
  kShell,          // SHGetFolderPath(csidl); under WOW64 the 32-bit program-files folders
  kProfileList,    // a value of the profile list, 64-bit view, expanded
  kEveryProfile,   // that value of every profile the list names
  kNativeWindows,  // a value of ...\Windows\CurrentVersion, 64-bit view: the 64-bit folders
};

struct ProtectedFolder {
  Source source;
  int csidl;
  const wchar_t* value;
  Keep keep;
};

// The folders the clean-up never empties. Besides these, refused: any drive
// root; any folder that holds one of them (an ancestor); this program's folder,
// the current folder, and any folder that holds them.
const ProtectedFolder kProtectedFolders[] = {
    // The Windows folder, every system folder included, whatever the view
    // (System32, SysWOW64, Sysnative, Installer).
    {Source::kWindowsFolder, 0, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_WINDOWS, nullptr, Keep::kTree},
    // The profiles: every user's, Default, Public, All Users.
    {Source::kProfileList, 0, L"ProfilesDirectory", Keep::kTree},
    {Source::kProfileList, 0, L"Default", Keep::kTree},
    {Source::kProfileList, 0, L"Public", Keep::kTree},
    {Source::kEveryProfile, 0, L"ProfileImagePath", Keep::kTree},
    // The all-users application data.
    {Source::kShell, CSIDL_COMMON_APPDATA, nullptr, Keep::kTree},
    {Source::kProfileList, 0, L"ProgramData", Keep::kTree},
    // The program-files folders themselves; other programs' folders in them
    // are theirs to remove.
    {Source::kShell, CSIDL_PROGRAM_FILES, nullptr, Keep::kFolder},
    {Source::kShell, CSIDL_PROGRAM_FILESX86, nullptr, Keep::kFolder},
    {Source::kNativeWindows, 0, L"ProgramFilesDir", Keep::kFolder},
    // Their shared subfolders.
    {Source::kShell, CSIDL_PROGRAM_FILES_COMMON, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_PROGRAM_FILES_COMMONX86, nullptr, Keep::kTree},
    {Source::kNativeWindows, 0, L"CommonFilesDir", Keep::kTree},
    // This user's own folders, wherever they are kept.
    {Source::kShell, CSIDL_PROFILE, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_APPDATA, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_LOCAL_APPDATA, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_PERSONAL, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_DESKTOPDIRECTORY, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_STARTMENU, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_COMMON_DOCUMENTS, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_COMMON_DESKTOPDIRECTORY, nullptr, Keep::kTree},
    {Source::kShell, CSIDL_COMMON_STARTMENU, nullptr, Keep::kTree},
};

const wchar_t kProfileListKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const wchar_t kWindowsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The table, the profiles and the two folders of this process; more profiles
// than fit leave nothing to be emptied.
constexpr size_t kMostFolders = 512;

struct KeptFolder {
  wchar_t path[MAX_PATH];
  bool wholeTree;
};

// Cuts path back to its parent: "X:\a\b" to "X:\a", "X:\a" to "X:\"; false at
// the root or for a path without a separator.
bool CutToParent(wchar_t* path) {
  wchar_t* last = wcsrchr(path, L'\\');
  if (last == nullptr || last[1] == L'\0') return false;
  if (last > path && last[-1] == L':')
    last[1] = L'\0';  // keep the root's separator
  else
    *last = L'\0';
  return true;
}

// true when the object known as folder is path or one of its ancestors.
bool IsPathOrAncestor(const FileIdentity& folder, const wchar_t* path) {
  wchar_t walk[MAX_PATH];
  if (!CopyBounded(walk, path)) return true;
  do {
    FileIdentity identity;
    if (IdentityOfPath(walk, &identity) && identity == folder) return true;
  } while (CutToParent(walk));
  return false;
}

// A path value of an open key, environment strings expanded; false when it
// is missing or not a path.
bool ReadPathValue(HKEY key, const wchar_t* name, wchar_t (&path)[MAX_PATH]) {
  wchar_t stored[MAX_PATH];
  DWORD type = 0;
  DWORD size = sizeof stored - sizeof stored[0];
  memset(stored, 0, sizeof stored);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  const DWORD length = ExpandEnvironmentStringsW(stored, path, MAX_PATH);
  return length > 1 && length <= MAX_PATH;
}

}  // namespace

bool ProtectedFolders::Find() {
  count_ = 0;
  if (!folders_.Allocate(kMostFolders * sizeof(KeptFolder))) return false;
  wchar_t path[MAX_PATH];
  for (const ProtectedFolder& row : kProtectedFolders) {
    const bool wholeTree = row.keep == Keep::kTree;
    bool noted = true;
    switch (row.source) {
      case Source::kWindowsFolder: {
        const UINT length = GetSystemWindowsDirectoryW(path, MAX_PATH);
        noted = length == 0 || length >= MAX_PATH || Note(path, wholeTree);
        break;
      }
      case Source::kShell:
        noted = SHGetFolderPathW(nullptr, row.csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK ||
                Note(path, wholeTree);
        break;
      case Source::kProfileList:
        noted = NoteFromRegistry(kProfileListKey, row.value, wholeTree);
        break;
      case Source::kEveryProfile:
        noted = NoteEveryProfile(row.value);
        break;
      case Source::kNativeWindows:
        noted = NoteFromRegistry(kWindowsKey, row.value, wholeTree);
        break;
    }
    if (!noted) return false;
  }
  // This program's folder and the current folder, which must not be emptied
  // under it; one that cannot be read refuses every folder.
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || !Note(path, false)) return false;
  length = GetCurrentDirectoryW(MAX_PATH, path);
  return length != 0 && length < MAX_PATH && Note(path, false);
}

bool ProtectedFolders::Note(const wchar_t* path, bool wholeTree) {
  if (count_ == kMostFolders) return false;
  KeptFolder& folder = folders_.As<KeptFolder>()[count_];
  if (!CopyBounded(folder.path, path)) return false;
  folder.wholeTree = wholeTree;
  ++count_;
  return true;
}

// A value that is missing notes nothing and is no failure.
bool ProtectedFolders::NoteFromRegistry(const wchar_t* key, const wchar_t* value, bool wholeTree) {
  ScopedKey opened;
  wchar_t path[MAX_PATH];
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                    opened.Receive()) != ERROR_SUCCESS ||
      !ReadPathValue(opened.Get(), value, path))
    return true;
  return Note(path, wholeTree);
}

bool ProtectedFolders::NoteEveryProfile(const wchar_t* value) {
  ScopedKey list;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProfileListKey, 0,
                    KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_64KEY, list.Receive()) != ERROR_SUCCESS)
    return true;
  wchar_t name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name / sizeof name[0];
    const LONG status =
        RegEnumKeyExW(list.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return true;
    if (status != ERROR_SUCCESS) return false;
    ScopedKey profile;
    wchar_t path[MAX_PATH];
    if (RegOpenKeyExW(list.Get(), name, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      profile.Receive()) == ERROR_SUCCESS &&
        ReadPathValue(profile.Get(), value, path) && !Note(path, true))
      return false;
  }
}

bool ProtectedFolders::MayEmpty(const FolderChain& chain) const {
  if (chain.Depth() < 2) return false;  // a drive root, or nothing held
  const FileIdentity& folder = chain.IdentityAt(chain.Depth() - 1);
  for (size_t i = 0; i < count_; ++i) {
    const KeptFolder& kept = folders_.As<KeptFolder>()[i];
    if (IsPathOrAncestor(folder, kept.path)) return false;
    FileIdentity identity;
    if (!kept.wholeTree || !IdentityOfPath(kept.path, &identity)) continue;
    for (size_t part = 0; part < chain.Depth(); ++part)
      if (chain.IdentityAt(part) == identity) return false;
  }
  return true;
}
