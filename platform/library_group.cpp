#include "platform/library_group.h"

int BindLibraryGroup(LibraryGroup& group) {
  if (group.module == nullptr) {
    group.module = LoadLibraryA(group.library);
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
