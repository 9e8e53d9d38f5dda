// A link named tmp.txt in a folder (the install folder, a scratch folder): a
// Unix symbolic link to a folder that holds a canary file, which Wine shows as
// a reparse point (a directory one). Wine 8's CreateSymbolicLinkA makes
// nothing and its MoveFileA and RemoveDirectoryA act on a link's target, so
// the link is made and removed by /bin/ln and /bin/rm, which Wine starts as
// Unix programs.
#pragma once
#include <string>

class CanaryLink {
 public:
  // Makes folder\tmp.txt, linked to a fresh folder with the canary.
  explicit CanaryLink(const std::string& folder);
  // Removes the link itself (never the target).
  ~CanaryLink();
  CanaryLink(const CanaryLink&) = delete;
  CanaryLink& operator=(const CanaryLink&) = delete;

  bool Made() const { return made_; }
  // Still a link in the folder, and its target holds the canary alone, unchanged.
  bool Intact() const;

  // A link left in folder by a run that did not end goes first.
  static void RemoveFrom(const std::string& folder);

 private:
  std::string link_;
  bool made_ = false;
};
