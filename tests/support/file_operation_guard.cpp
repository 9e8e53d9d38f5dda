#include "tests/support/file_operation_guard.h"

#include <winternl.h>
#include <string.h>

extern "C" void* __imp_GetProcAddress;  // this executable's import slot

namespace {

typedef decltype(&GetProcAddress) PfnGetProcAddress;
typedef NTSTATUS(NTAPI* PfnNtSetInformationFile)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                 FILE_INFORMATION_CLASS);

PfnGetProcAddress g_realGetProcAddress = nullptr;
PfnNtSetInformationFile g_realSetInformation = nullptr;
std::vector<std::string> g_allowed;
std::vector<FileOperationCall> g_calls;

// Windows Vista's call, which the headers of this build (Windows XP) leave out.
typedef DWORD(WINAPI* PfnGetFinalPathNameByHandleA)(HANDLE, LPSTR, DWORD, DWORD);

std::string PathOf(HANDLE handle) {
  static const auto finalPath = reinterpret_cast<PfnGetFinalPathNameByHandleA>(
      reinterpret_cast<void*>(g_realGetProcAddress(GetModuleHandleA("kernel32"),
                                                   "GetFinalPathNameByHandleA")));
  char path[MAX_PATH * 4] = {};
  DWORD n = finalPath ? finalPath(handle, path, sizeof path, 0) : 0;
  if (n == 0 || n >= sizeof path) return std::string();
  std::string text = path;
  return text.compare(0, 4, "\\\\?\\") == 0 ? text.substr(4) : text;
}

bool IsAtOrBelowAllowedFolder(const std::string& path) {
  for (const std::string& folder : g_allowed) {
    if (_stricmp(path.c_str(), folder.c_str()) == 0) return true;
    std::string prefix = folder + "\\";
    if (path.size() > prefix.size() && _strnicmp(path.c_str(), prefix.c_str(), prefix.size()) == 0)
      return true;
  }
  return false;
}

NTSTATUS NTAPI GuardedSetInformationFile(HANDLE handle, PIO_STATUS_BLOCK status, PVOID data,
                                         ULONG size, FILE_INFORMATION_CLASS kind) {
  if (kind != FileDispositionInformation && kind != FileBasicInformation)
    return g_realSetInformation(handle, status, data, size, kind);
  FileOperationCall call;
  call.path = PathOf(handle);
  call.deletion = kind == FileDispositionInformation;
  call.refused = !IsAtOrBelowAllowedFolder(call.path);
  g_calls.push_back(call);
  if (call.refused) return static_cast<NTSTATUS>(0xC0000022L);  // STATUS_ACCESS_DENIED
  return g_realSetInformation(handle, status, data, size, kind);
}

FARPROC WINAPI GuardedGetProcAddress(HMODULE module, LPCSTR name) {
  FARPROC found = g_realGetProcAddress(module, name);
  const bool byName = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF;
  if (found == nullptr || !byName || strcmp(name, "NtSetInformationFile") != 0) return found;
  g_realSetInformation = reinterpret_cast<PfnNtSetInformationFile>(reinterpret_cast<void*>(found));
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&GuardedSetInformationFile));
}

}  // namespace

void GuardFileOperations(const std::vector<std::string>& allowedFolders) {
  g_allowed = allowedFolders;
  if (g_realGetProcAddress) return;
  g_realGetProcAddress = reinterpret_cast<PfnGetProcAddress>(__imp_GetProcAddress);
  DWORD old = 0;
  VirtualProtect(&__imp_GetProcAddress, sizeof(void*), PAGE_READWRITE, &old);
  __imp_GetProcAddress = reinterpret_cast<void*>(&GuardedGetProcAddress);
  VirtualProtect(&__imp_GetProcAddress, sizeof(void*), old, &old);
}

std::vector<FileOperationCall>& FileOperationCalls() { return g_calls; }
