// Scratch folders for tests: always below "<test run folder>\scratch", made
// empty on creation. Removal refuses any path outside that root, so a test
// with a wrong path cannot delete anything else.
#pragma once
#include <string>

std::string ScratchRoot();
// A fresh, empty folder ScratchRoot()\name (name may contain backslashes).
std::string MakeScratchDir(const std::string& name);
// Deletes a folder tree below ScratchRoot(); false (and nothing deleted) elsewhere.
bool RemoveScratchTree(const std::string& path);
// The same below another root (a fixed place a test fills); paths of any length.
bool RemoveTreeBelow(const std::string& root, const std::string& path);
// A folder of exactly `length` characters below base, made level by level
// with the wide calls (the narrow ones stop short of 260 characters). Folder
// names are runs of 'd'; the length does not depend on how long base is.
std::string FolderOfLength(const std::string& base, size_t length);
