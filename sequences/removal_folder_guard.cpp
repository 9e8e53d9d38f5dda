#include "sequences/removal_folder_guard.h"

#include <windows.h>
#include <shlobj.h>
#include <string.h>

namespace {

// Room for any path the checks meet; a longer one cannot be checked and so
// counts against the folder.
constexpr DWORD kPathSize = 2 * MAX_PATH;

// Where a CSIDL names no folder on this system (no 32-bit folders on 32-bit
// Windows), the shell says so and the kind is passed over. Under WOW64 the shell
// answers the program-files kinds with the 32-bit folders; the 64-bit ones come
// from the system's record of them, read in the 64-bit registry view.
const int kWellKnownFolders[] = {
    CSIDL_WINDOWS,          CSIDL_SYSTEM,           CSIDL_SYSTEMX86,
    CSIDL_PROGRAM_FILES,    CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_PROFILE,          CSIDL_APPDATA,          CSIDL_LOCAL_APPDATA,
    CSIDL_PERSONAL,         CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU,
    CSIDL_COMMON_APPDATA,   CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_COMMON_STARTMENU, CSIDL_FONTS,
};
const wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const wchar_t* const kNativeProgramFilesValues[] = {L"ProgramFilesDir", L"CommonFilesDir"};

// A file-system object by its volume and file index.
struct Identity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const Identity& other) const {
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
  }
};

bool IdentityOf(const wchar_t* path, Identity* identity) {
  HANDLE handle = CreateFileW(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION information;
  const bool known = GetFileInformationByHandle(handle, &information) != 0;
  CloseHandle(handle);
  if (!known) return false;
  identity->volume = information.dwVolumeSerialNumber;
  identity->indexHigh = information.nFileIndexHigh;
  identity->indexLow = information.nFileIndexLow;
  return true;
}

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
bool IsPathOrAncestor(const Identity& folder, const wchar_t* path) {
  wchar_t walk[kPathSize];
  if (wcslen(path) >= kPathSize) return true;
  wcscpy(walk, path);
  do {
    Identity identity;
    if (IdentityOf(walk, &identity) && identity == folder) return true;
  } while (CutToParent(walk));
  return false;
}

// true when folder or any existing part of its path above the drive root is a
// reparse point.
bool LiesOnReparsePoint(const wchar_t* folder) {
  wchar_t walk[kPathSize];
  if (wcslen(folder) >= kPathSize) return true;
  wcscpy(walk, folder);
  do {
    const DWORD attributes = GetFileAttributesW(walk);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      return true;
  } while (CutToParent(walk) && wcslen(walk) > 3);
  return false;
}

bool HoldsAWellKnownFolder(const Identity& folder) {
  wchar_t path[kPathSize];
  for (int csidl : kWellKnownFolders)
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK &&
        IsPathOrAncestor(folder, path))
      return true;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                    &key) != ERROR_SUCCESS)
    return false;
  bool holds = false;
  for (const wchar_t* name : kNativeProgramFilesValues) {
    DWORD type = 0;
    DWORD size = sizeof path - sizeof path[0];
    memset(path, 0, sizeof path);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(path), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ && IsPathOrAncestor(folder, path))
      holds = true;
  }
  RegCloseKey(key);
  return holds;
}

// This program's folder and the current folder; one that cannot be read counts
// against the folder.
bool HoldsOwnOrCurrentFolder(const Identity& folder) {
  wchar_t path[kPathSize];
  DWORD length = GetModuleFileNameW(nullptr, path, kPathSize);
  if (length == 0 || length >= kPathSize || IsPathOrAncestor(folder, path)) return true;
  length = GetCurrentDirectoryW(kPathSize, path);
  return length == 0 || length >= kPathSize || IsPathOrAncestor(folder, path);
}

}  // namespace

bool MayEmptyFolder(const wchar_t* folder) {
  Identity identity;
  if (folder == nullptr || !IdentityOf(folder, &identity)) return false;
  if (LiesOnReparsePoint(folder)) return false;
  return !HoldsAWellKnownFolder(identity) && !HoldsOwnOrCurrentFolder(identity);
}
