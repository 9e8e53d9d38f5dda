// Deleting what a folder holds, through handles alone: each entry is opened
// relative to the handle of its folder, as the object of that name itself, so
// that a symbolic link, junction or mount point in the tree is deleted as
// itself and never entered, and nothing is looked up by path after the folder
// was checked. Read-only entries go as they do in the shell's delete with
// every question answered yes; what cannot be deleted is passed over.
#pragma once
#include <windows.h>
#include <stddef.h>

#include "platform/file_identity.h"
#include "platform/nt_file_calls.h"

// Deletes the files, links and subfolders in the folder open as folder (with
// FILE_LIST_DIRECTORY access), whose path below its volume's root is
// nameOnVolume (length characters); the folder itself stays. true when
// nothing is left in it that was there.
bool DeleteFolderContents(NtFileCalls& calls, HANDLE folder, const wchar_t* nameOnVolume,
                          size_t length);

// Deletes the emptied folder name (length characters) in the folder open as
// parent, when it is still the folder known as identity; true when it goes.
bool DeleteEmptiedFolder(NtFileCalls& calls, HANDLE parent, const wchar_t* name, size_t length,
                         const FileIdentity& identity);
