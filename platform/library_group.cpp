#include "platform/library_group.h"

#include "platform/system_path.h"

void RemoveCurrentFolderFromLibrarySearch() {
  // Windows XP before SP1 has no SetDllDirectoryA: bound late.
  typedef BOOL(WINAPI * PfnSetDllDirectoryA)(LPCSTR);
  HMODULE kernel = GetModuleHandleA("kernel32");
  if (kernel == nullptr) return;
  auto setDllDirectory = reinterpret_cast<PfnSetDllDirectoryA>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDllDirectory != nullptr) setDllDirectory("");
}

HMODULE LoadSystemLibrary(const char* name) {
  // By its full path in the system folder, never by a search.
  char path[MAX_PATH];
  if (!BuildSystemPath(name, path)) return nullptr;
  // The flags are known to the loader exactly where AddDllDirectory exists; an
  // older loader refuses them.
  HMODULE kernel = GetModuleHandleA("kernel32");
  if (kernel != nullptr && GetProcAddress(kernel, "AddDllDirectory") != nullptr)
    return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return LoadLibraryA(path);
}

bool BindLibraryGroup(LibraryGroup& group) {
  if (group.module == nullptr) {
    group.module = LoadSystemLibrary(group.library);
    if (group.module == nullptr) return false;
  }
  bool complete = true;
  for (size_t i = 0; i < group.count; ++i) {
    group.entries[i] = reinterpret_cast<void*>(GetProcAddress(group.module, group.entryNames[i]));
    if (group.entries[i] == nullptr) complete = false;
  }
  if (complete) return true;
  // Every entry point is required, also those never called: a partial group
  // is not kept.
  ReleaseLibraryGroup(group);
  return false;
}

void ReleaseLibraryGroup(LibraryGroup& group) {
  if (group.module != nullptr) {
    FreeLibrary(group.module);
    group.module = nullptr;
  }
  for (size_t i = 0; i < group.count; ++i) group.entries[i] = nullptr;
}
