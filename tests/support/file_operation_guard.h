// A safety net for tests of code that deletes through SHFileOperationA. The
// product code is linked into the test executable, so its calls go through this
// executable's import slot; the guard replaces that slot. From then on every call
// is recorded, and carried out only when every path in its lists lies below one of
// the allowed folders; any other call is refused (ERROR_ACCESS_DENIED, nothing
// done) and recorded as refused. A faulty pattern then cannot reach beyond the
// test's own places. Add file_operation_guard.cpp to the test's SOURCES
// (x86_64 test builds only).
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>

struct FileOperationCall {
  HWND hwnd = nullptr;
  UINT func = 0;
  std::vector<std::string> from;  // the source list, one entry per path
  bool toIsNull = true;
  FILEOP_FLAGS flags = 0;
  bool refused = false;
  int result = 0;
};

// Installs the guard (once per process) and sets the allowed folders (full paths).
void GuardFileOperations(const std::vector<std::string>& allowedFolders);
std::vector<FileOperationCall>& FileOperationCalls();
