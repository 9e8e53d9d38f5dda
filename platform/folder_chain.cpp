#include "platform/folder_chain.h"

#include <wchar.h>

namespace {

bool IsPlainFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

FolderChain::~FolderChain() { CloseAll(); }

bool FolderChain::Open(NtFileCalls& calls, const wchar_t* path) {
  CloseAll();
  if (path == nullptr || wcslen(path) >= MAX_PATH || !OpenRoot(calls, path)) {
    CloseAll();
    return false;
  }
  for (const wchar_t* part = path + 3; *part != L'\0';) {
    const wchar_t* end = wcschr(part, L'\\');
    const size_t length = end != nullptr ? static_cast<size_t>(end - part) : wcslen(part);
    if (!OpenPart(calls, part, length)) {
      CloseAll();
      return false;
    }
    part += length;
    if (*part == L'\\') ++part;
  }
  return true;
}

bool FolderChain::OpenRoot(NtFileCalls& calls, const wchar_t* path) {
  if (wcslen(path) < 3 || path[1] != L':' || path[2] != L'\\') return false;
  const wchar_t root[] = {path[0], L':', L'\\', L'\0'};
  HANDLE handle = CreateFileW(root, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  handles_[depth_++] = handle;
  name_[0] = L'\\';
  nameLength_ = 1;
  DWORD attributes = 0;
  return ReadIdentity(handle, &identities_[0], &attributes) && IsPlainFolder(attributes) &&
         calls.IsNamedOnVolume(handle, name_, nameLength_);
}

bool FolderChain::OpenPart(NtFileCalls& calls, const wchar_t* part, size_t length) {
  if (depth_ == kMostParts) return false;
  const size_t separator = nameLength_ > 1 ? 1 : 0;  // none behind the root's
  if (nameLength_ + separator + length >= MAX_PATH) return false;
  HANDLE handle = calls.OpenInFolder(Folder(), part, length,
                                     FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_DIRECTORY_FILE);
  if (handle == nullptr) return false;
  handles_[depth_] = handle;
  if (separator) name_[nameLength_++] = L'\\';
  wmemcpy(name_ + nameLength_, part, length);
  nameLength_ += length;
  name_[nameLength_] = L'\0';
  DWORD attributes = 0;
  return ReadIdentity(handle, &identities_[depth_++], &attributes) && IsPlainFolder(attributes) &&
         calls.IsNamedOnVolume(handle, name_, nameLength_);
}

void FolderChain::CloseLastPart(const wchar_t** part, size_t* length) {
  *part = name_ + nameLength_;
  *length = 0;
  if (depth_ < 2) return;  // the root stays
  CloseHandle(handles_[--depth_]);
  handles_[depth_] = nullptr;
  const wchar_t* separator = wcsrchr(name_, L'\\');
  *part = separator + 1;
  *length = static_cast<size_t>(name_ + nameLength_ - *part);
  nameLength_ = separator > name_ ? static_cast<size_t>(separator - name_) : 1;
}

void FolderChain::CloseAll() {
  while (depth_ > 0) {
    CloseHandle(handles_[--depth_]);
    handles_[depth_] = nullptr;
  }
  nameLength_ = 0;
  name_[0] = L'\0';
}
