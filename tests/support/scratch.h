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
