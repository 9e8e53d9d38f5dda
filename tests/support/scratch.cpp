#include "tests/support/scratch.h"

#include "tests/support/process.h"

#include <windows.h>

#include <algorithm>

std::string ScratchRoot() {
  std::string root = JoinPath(SelfDir(), "scratch");
  CreateDirectoryA(root.c_str(), nullptr);
  return root;
}

static bool IsBelowRoot(const std::string& path) {
  std::string root = ScratchRoot() + "\\";
  return path.size() > root.size() && _strnicmp(path.c_str(), root.c_str(), root.size()) == 0 &&
         path.find("..") == std::string::npos;
}

static void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(path.c_str());
}

bool RemoveScratchTree(const std::string& path) {
  if (!IsBelowRoot(path)) return false;
  RemoveTree(path);
  return !FileExists(path);
}

std::string MakeScratchDir(const std::string& name) {
  std::string path = JoinPath(ScratchRoot(), name);
  RemoveScratchTree(path);
  // Create each level, so that nested names work.
  for (size_t i = ScratchRoot().size() + 1; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  return path;
}

std::string FolderOfLength(const std::string& base, size_t length) {
  std::string dir = base;
  while (dir.size() < length) {
    size_t room = length - dir.size() - 1;  // characters left for this level's name
    // A level of 60 would leave no room for the next one's name at 61.
    size_t name = room == 61 ? 50 : std::min<size_t>(60, room);
    if (name == 0) break;
    dir += "\\" + std::string(name, 'd');
    std::wstring wide = L"\\\\?\\" + std::wstring(dir.begin(), dir.end());
    CreateDirectoryW(wide.c_str(), nullptr);
  }
  return dir;
}
