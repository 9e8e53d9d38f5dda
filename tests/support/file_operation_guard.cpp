#include "tests/support/file_operation_guard.h"

#include <string.h>

extern "C" void* __imp_SHFileOperationA;  // this executable's import slot

namespace {

typedef decltype(&SHFileOperationA) PfnSHFileOperationA;

PfnSHFileOperationA g_real = nullptr;
std::vector<std::string> g_allowed;
std::vector<FileOperationCall> g_calls;

std::vector<std::string> SplitList(const char* list) {
  std::vector<std::string> entries;
  if (!list) return entries;
  for (const char* p = list; *p; p += strlen(p) + 1) entries.push_back(p);
  return entries;
}

bool IsBelowAllowedFolder(const std::string& path) {
  char full[MAX_PATH * 4] = {};
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return false;
  std::string resolved = full;
  for (const std::string& folder : g_allowed) {
    std::string prefix = folder + "\\";
    if (resolved.size() > prefix.size() &&
        _strnicmp(resolved.c_str(), prefix.c_str(), prefix.size()) == 0)
      return true;
  }
  return false;
}

int WINAPI GuardedSHFileOperationA(LPSHFILEOPSTRUCTA operation) {
  FileOperationCall call;
  call.hwnd = operation->hwnd;
  call.func = operation->wFunc;
  call.from = SplitList(operation->pFrom);
  call.toIsNull = operation->pTo == nullptr;
  call.flags = operation->fFlags;
  bool allowed = !call.from.empty();
  for (const std::string& path : call.from) allowed = allowed && IsBelowAllowedFolder(path);
  for (const std::string& path : SplitList(operation->pTo))
    allowed = allowed && IsBelowAllowedFolder(path);
  call.refused = !allowed;
  call.result = allowed ? g_real(operation) : ERROR_ACCESS_DENIED;
  g_calls.push_back(call);
  return call.result;
}

}  // namespace

void GuardFileOperations(const std::vector<std::string>& allowedFolders) {
  g_allowed = allowedFolders;
  if (g_real) return;
  g_real = reinterpret_cast<PfnSHFileOperationA>(__imp_SHFileOperationA);
  DWORD old = 0;
  VirtualProtect(&__imp_SHFileOperationA, sizeof(void*), PAGE_READWRITE, &old);
  __imp_SHFileOperationA = reinterpret_cast<void*>(&GuardedSHFileOperationA);
  VirtualProtect(&__imp_SHFileOperationA, sizeof(void*), old, &old);
}

std::vector<FileOperationCall>& FileOperationCalls() { return g_calls; }
