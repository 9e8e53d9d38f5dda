// A folder opened part by part from the root of its drive: each part relative
// to the handle of the one above, as the object of that name itself (never
// through a reparse point), and every part held open without delete sharing
// while the object lives. No part of the path can then be renamed, replaced
// or redirected while work goes on in the folder, and the folders above it are
// known as the objects they are.
#pragma once
#include <windows.h>
#include <stddef.h>

#include "platform/file_identity.h"
#include "platform/nt_file_calls.h"

class FolderChain {
 public:
  FolderChain() = default;
  ~FolderChain();
  FolderChain(const FolderChain&) = delete;
  FolderChain& operator=(const FolderChain&) = delete;

  // path: "X:\part\part..." with one separator between parts and none at the
  // end. false, nothing held, when the drive's root is not the root of its
  // volume (a drive substituted for a folder), or a part cannot be opened, is
  // not a folder or is a reparse point (a symbolic link, junction or mount
  // point: an ordinary user can point one anywhere).
  bool Open(NtFileCalls& calls, const wchar_t* path);

  // The parts held, the root included, and the identity of each (0: the root).
  size_t Depth() const { return depth_; }
  const FileIdentity& IdentityAt(size_t part) const { return identities_[part]; }
  // The last part held, and its path below the volume's root ("\a\b").
  HANDLE Folder() const { return depth_ > 0 ? handles_[depth_ - 1] : nullptr; }
  const wchar_t* NameOnVolume() const { return name_; }
  size_t NameLength() const { return nameLength_; }
  // Closes the last part, so that it can be opened for deletion from the one
  // above; its name (length characters, valid until the next Open) into part.
  void CloseLastPart(const wchar_t** part, size_t* length);

 private:
  bool OpenRoot(NtFileCalls& calls, const wchar_t* path);
  bool OpenPart(NtFileCalls& calls, const wchar_t* part, size_t length);
  void CloseAll();

  static constexpr size_t kMostParts = MAX_PATH / 2 + 1;  // "X:\a\b..." within MAX_PATH
  HANDLE handles_[kMostParts] = {};
  FileIdentity identities_[kMostParts];
  size_t depth_ = 0;
  wchar_t name_[MAX_PATH] = {};
  size_t nameLength_ = 0;
};
