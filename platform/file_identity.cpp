#include "platform/file_identity.h"

#include "platform/scoped_handles.h"

bool ReadIdentity(HANDLE handle, FileIdentity* identity, DWORD* attributes) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return false;
  identity->volume = information.dwVolumeSerialNumber;
  identity->indexHigh = information.nFileIndexHigh;
  identity->indexLow = information.nFileIndexLow;
  *attributes = information.dwFileAttributes;
  return true;
}

bool IdentityOfPath(const wchar_t* path, FileIdentity* identity) {
  HANDLE opened = CreateFileW(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return false;
  ScopedHandle handle(opened);
  DWORD attributes = 0;
  return ReadIdentity(handle.Get(), identity, &attributes);
}
