// File work through a folder's handle, with the system's native calls (ntdll;
// bound late, as no import library of the tool-chain lists them all). Only
// these open a name relative to a folder already open ("NtOpenFile":
// OBJECT_ATTRIBUTES.RootDirectory) and read a folder's entries through its
// handle ("NtQueryDirectoryFile"), so that no path is looked up again, and
// nothing redirected or swapped in, after the folder was checked.
#pragma once
#include <windows.h>
#include <winternl.h>

#include "platform/scoped_handles.h"

class NtFileCalls {
 public:
  // false when ntdll lacks one of the calls; the others then fail too.
  bool Bind();

  // name (length characters, one part, no separator) in the folder open as
  // parent, opened as the object of that name itself: a reparse point
  // (symbolic link, junction, mount point) is not followed
  // (FILE_OPEN_REPARSE_POINT). options are NtOpenFile's; null on failure.
  HANDLE OpenInFolder(HANDLE parent, const wchar_t* name, size_t length, ACCESS_MASK access,
                      ULONG share, ULONG options) const;
  // The next entries of folder, as FILE_DIRECTORY_INFORMATION records, into
  // buffer (each call goes on where the last one ended).
  enum class Entries { kRead, kNoMore, kFailed };
  Entries ReadEntries(HANDLE folder, void* buffer, ULONG size) const;
  // Deletes the object when its last handle closes (the handle needs DELETE
  // access); false when the file system refuses (read-only, a folder not empty).
  bool MarkForDeletion(HANDLE handle) const;
  // Replaces the object's attributes (FILE_WRITE_ATTRIBUTES access).
  bool SetAttributes(HANDLE handle, DWORD attributes) const;
  // true when the object's path below the root of its volume is name (length
  // characters; "\" for the root itself, "\a\b" below it), in any case. A
  // file system that follows a link in spite of FILE_OPEN_REPARSE_POINT (Wine
  // does) hands back the link's target, which has another path.
  bool IsNamedOnVolume(HANDLE handle, const wchar_t* name, size_t length);

 private:
  HeapBlock nameRecord_;  // one FILE_NAME_INFORMATION of any length
  void* open_ = nullptr;
  void* queryDirectory_ = nullptr;
  void* queryInformation_ = nullptr;
  void* setInformation_ = nullptr;
  void* equalText_ = nullptr;
};
