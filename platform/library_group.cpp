#include "platform/library_group.h"

#include "platform/bounded_string.h"

namespace {

// The library from the system folder, by its full path: by bare name the loader
// would search the program's folder (and maybe the current one) first, where an
// elevated installer's downloads lie. A 32-bit process under WOW64 gets the
// 32-bit copies there through the file-system redirection.
HMODULE LoadSystemLibrary(const char* library) {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, sizeof path);
  if (length == 0 || length >= sizeof path) return nullptr;
  if (!AppendBounded(path, "\\") || !AppendBounded(path, library)) return nullptr;
  return LoadLibraryA(path);
}

}  // namespace

void RemoveCurrentFolderFromLibrarySearch() {
  // Windows XP before SP1 has no SetDllDirectoryA: bound late.
  typedef BOOL(WINAPI * PfnSetDllDirectoryA)(LPCSTR);
  HMODULE kernel = GetModuleHandleA("kernel32");
  if (kernel == nullptr) return;
  auto setDllDirectory = reinterpret_cast<PfnSetDllDirectoryA>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDllDirectory != nullptr) setDllDirectory("");
}

int BindLibraryGroup(LibraryGroup& group) {
  if (group.module == nullptr) {
    group.module = LoadSystemLibrary(group.library);
    if (group.module == nullptr) return 0;
  }
  bool complete = true;
  for (size_t i = 0; i < group.count; ++i) {
    group.entries[i] = reinterpret_cast<void*>(GetProcAddress(group.module, group.entryNames[i]));
    if (group.entries[i] == nullptr) complete = false;
  }
  if (complete) return 1;
  // Every entry point is required, also those never called: a partial group
  // is not kept.
  ReleaseLibraryGroup(group);
  return 0;
}

void ReleaseLibraryGroup(LibraryGroup& group) {
  if (group.module != nullptr) {
    FreeLibrary(group.module);
    group.module = nullptr;
  }
  for (size_t i = 0; i < group.count; ++i) group.entries[i] = nullptr;
}
