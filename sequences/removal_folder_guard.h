// What the clean-up may empty. The installation directory comes from a registry
// record that a broken or tampered product can write, and the clean-up runs with
// an installer's rights; so the folder is checked against what it could reach
// besides the release's own files.
#pragma once
#include <wchar.h>

// true when folder (a folder below a drive root, as ReadFolderBelowDriveRoot
// gives it) exists and may be emptied. Refused: a folder that is, or contains,
// one of the system's well-known folders (asked of the shell: the Windows and
// system folders, the program-files folders, the profiles and their common
// folders), this program's folder or the current folder (compared as the same
// file-system object, so short names, case and other spellings do not matter);
// and a folder that is, or lies below, a reparse point (junction, symbolic
// link), which an ordinary user can point anywhere.
bool MayEmptyFolder(const wchar_t* folder);
