// What the clean-up may empty. The installation directory comes from a registry
// record that a broken or tampered product can write, and the clean-up runs with
// an installer's rights; so the folder is checked against what it could reach
// besides the release's own files.
#pragma once
#include "platform/folder_chain.h"
#include "platform/scoped_handles.h"

// The folders that must stay whole (see the table in the source), found
// while the file system is still seen as this process sees it: the shell and
// registry calls that name them may load libraries, which must not happen
// while the redirection of a 32-bit process under WOW64 is off.
class ProtectedFolders {
 public:
  // false when they could not all be noted (then nothing may be emptied).
  bool Find();

  // With the redirection off (see NativeFileView), so that every folder is
  // the one a delete would reach: true when the folder that chain holds may be
  // emptied. Refused: a drive root; a folder in the tree of a folder kept
  // whole (the Windows folder, the profiles, the all-users data, the shared
  // program files), found through the folders above it as the chain holds
  // them; a folder that is, or holds, a protected folder, this program's
  // folder or the current folder. Folders are compared as file-system objects,
  // so short names, case, links and views do not matter.
  bool MayEmpty(const FolderChain& chain) const;

 private:
  bool Note(const wchar_t* path, bool wholeTree);
  bool NoteFromRegistry(const wchar_t* key, const wchar_t* value, bool wholeTree);
  bool NoteEveryProfile(const wchar_t* value);

  HeapBlock folders_;  // kMostFolders of KeptFolder (see the source)
  size_t count_ = 0;
};
