// A safety net for tests of code that deletes by handle: the clean-up binds
// NtSetInformationFile late, through GetProcAddress, and the product code is
// linked into the test executable, so its GetProcAddress goes through this
// executable's import slot. The guard replaces that slot and hands out a
// guarded NtSetInformationFile instead. From then on every deletion and
// attribute change is recorded with the path of its object, and carried out
// only when that path is, or lies below, one of the allowed folders; any other is
// refused (STATUS_ACCESS_DENIED, nothing done) and recorded as refused. A
// faulty walk then cannot reach beyond the test's own places. Add
// file_operation_guard.cpp to the test's SOURCES (x86_64 test builds only).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct FileOperationCall {
  std::string path;      // the object's path as the system names it
  bool deletion = true;  // false: an attribute change
  bool refused = false;
};

// Installs the guard (once per process) and sets the allowed folders (full paths).
void GuardFileOperations(const std::vector<std::string>& allowedFolders);
std::vector<FileOperationCall>& FileOperationCalls();
