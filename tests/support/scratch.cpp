#include "tests/support/scratch.h"

#include "tests/support/process.h"

#include <windows.h>

#include <algorithm>

std::string ScratchRoot() {
  std::string root = JoinPath(SelfDir(), "scratch");
  CreateDirectoryA(root.c_str(), nullptr);
  return root;
}

static bool IsBelow(const std::string& root, const std::string& path) {
  std::string prefix = root + "\\";
  return path.size() > prefix.size() && _strnicmp(path.c_str(), prefix.c_str(), prefix.size()) == 0 &&
         path.find("..") == std::string::npos;
}

// Wide calls on a "\\?\" path: any length, and names the code page lacks.
static std::wstring LongPath(const std::string& path) {
  std::wstring wide(path.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &wide[0],
                                  static_cast<int>(wide.size())));
  return L"\\\\?\\" + wide;
}

static void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(path.c_str());
}

bool RemoveTreeBelow(const std::string& root, const std::string& path) {
  if (!IsBelow(root, path)) return false;
  const std::wstring wide = LongPath(path);
  RemoveTree(wide);
  return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool RemoveScratchTree(const std::string& path) { return RemoveTreeBelow(ScratchRoot(), path); }

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
