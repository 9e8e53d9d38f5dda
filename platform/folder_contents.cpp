#include "platform/folder_contents.h"

#include <winternl.h>
#include <wchar.h>

#include "platform/scoped_handles.h"

namespace {

// Deeper folders are passed over: each level holds a handle and a frame.
constexpr int kDeepestLevel = 256;
constexpr DWORD kEntriesSize = 16 * 1024;  // many records of names up to 255 characters
constexpr size_t kLongestPath = 32767;

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsPlainFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The walk's state: the path below the volume's root of the entry at hand, for
// the check that what was opened is that entry.
struct Walk {
  NtFileCalls& calls;
  wchar_t* path;
  size_t length;
};

// The attributes a program may set; a directory takes no temporary mark.
DWORD SettableAttributes(DWORD attributes) {
  DWORD settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                   FILE_ATTRIBUTE_OFFLINE;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) settable |= FILE_ATTRIBUTE_TEMPORARY;
  return attributes & settable;
}

// Marks the object open as handle for deletion. The file system refuses a
// read-only one, which the shell's delete takes when every question is
// answered yes; its attribute goes first, and comes back when it stays.
bool MarkForDeletion(NtFileCalls& calls, HANDLE handle, DWORD attributes) {
  if (!(attributes & FILE_ATTRIBUTE_READONLY)) return calls.MarkForDeletion(handle);
  const DWORD kept = SettableAttributes(attributes);
  if (!calls.SetAttributes(handle, kept & ~FILE_ATTRIBUTE_READONLY)) return false;
  if (calls.MarkForDeletion(handle)) return true;
  calls.SetAttributes(handle, kept);
  return false;
}

// The entry as itself: a file, a link, a folder that is empty.
bool DeleteItself(Walk& walk, HANDLE folder, const wchar_t* name, size_t length) {
  ScopedHandle item(walk.calls.OpenInFolder(folder, name, length,
                                            DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                            kShareAll, 0));
  FileIdentity identity;
  DWORD attributes = 0;
  return item && walk.calls.IsNamedOnVolume(item.Get(), walk.path, walk.length) &&
         ReadIdentity(item.Get(), &identity, &attributes) &&
         MarkForDeletion(walk.calls, item.Get(), attributes);
}

bool DeleteContents(Walk& walk, HANDLE folder, int level);

// A subfolder listed as a plain folder: its contents, then itself. false, with
// nothing entered, when it is something else now (it is then taken as itself).
bool DeleteSubfolder(Walk& walk, HANDLE folder, const wchar_t* name, size_t length, int level,
                     bool* handled) {
  FileIdentity identity;
  bool emptied;
  {
    ScopedHandle subfolder(walk.calls.OpenInFolder(
        folder, name, length, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_DIRECTORY_FILE));
    DWORD attributes = 0;
    if (!subfolder || !walk.calls.IsNamedOnVolume(subfolder.Get(), walk.path, walk.length) ||
        !ReadIdentity(subfolder.Get(), &identity, &attributes) || !IsPlainFolder(attributes))
      return false;
    *handled = true;
    emptied = level < kDeepestLevel && DeleteContents(walk, subfolder.Get(), level + 1);
  }
  // Its handle forbade deletion to everyone, this program included.
  return emptied && DeleteEmptiedFolder(walk.calls, folder, name, length, identity);
}

bool DeleteEntry(Walk& walk, HANDLE folder, const FILE_DIRECTORY_INFORMATION& entry, int level) {
  const wchar_t* name = entry.FileName;
  const size_t length = entry.FileNameLength / sizeof(wchar_t);
  if ((length == 1 && name[0] == L'.') || (length == 2 && name[0] == L'.' && name[1] == L'.'))
    return true;
  const size_t folderLength = walk.length;
  const size_t separator = folderLength > 1 ? 1 : 0;  // none behind the root's
  if (folderLength + separator + length > kLongestPath) return false;
  if (separator) walk.path[walk.length++] = L'\\';
  wmemcpy(walk.path + walk.length, name, length);
  walk.length += length;

  bool handled = false;
  bool gone = false;
  if (IsPlainFolder(entry.FileAttributes))
    gone = DeleteSubfolder(walk, folder, name, length, level, &handled);
  if (!handled) gone = DeleteItself(walk, folder, name, length);
  walk.length = folderLength;
  return gone;
}

bool DeleteContents(Walk& walk, HANDLE folder, int level) {
  HeapBlock entries;
  if (!entries.Allocate(kEntriesSize)) return false;
  bool allGone = true;
  for (;;) {
    switch (walk.calls.ReadEntries(folder, entries.As<void>(), kEntriesSize)) {
      case NtFileCalls::Entries::kNoMore:
        return allGone;
      case NtFileCalls::Entries::kFailed:
        return false;
      case NtFileCalls::Entries::kRead:
        break;
    }
    for (const BYTE* at = entries.As<BYTE>();;) {
      const auto* entry = reinterpret_cast<const FILE_DIRECTORY_INFORMATION*>(at);
      if (!DeleteEntry(walk, folder, *entry, level)) allGone = false;
      if (entry->NextEntryOffset == 0) break;
      at += entry->NextEntryOffset;
    }
  }
}

}  // namespace

bool DeleteFolderContents(NtFileCalls& calls, HANDLE folder, const wchar_t* nameOnVolume,
                          size_t length) {
  HeapBlock path;
  if (length == 0 || length > kLongestPath ||
      !path.Allocate((kLongestPath + 1) * sizeof(wchar_t)))
    return false;
  Walk walk{calls, path.As<wchar_t>(), length};
  wmemcpy(walk.path, nameOnVolume, length);
  return DeleteContents(walk, folder, 0);
}

bool DeleteEmptiedFolder(NtFileCalls& calls, HANDLE parent, const wchar_t* name, size_t length,
                         const FileIdentity& identity) {
  ScopedHandle folder(calls.OpenInFolder(parent, name, length,
                                         DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                         kShareAll, FILE_DIRECTORY_FILE));
  FileIdentity now;
  DWORD attributes = 0;
  return folder && ReadIdentity(folder.Get(), &now, &attributes) && now == identity &&
         MarkForDeletion(calls, folder.Get(), attributes);
}
