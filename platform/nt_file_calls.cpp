#include "platform/nt_file_calls.h"

#include <string.h>

namespace {

typedef NTSTATUS(NTAPI* PfnNtOpenFile)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES,
                                       PIO_STATUS_BLOCK, ULONG, ULONG);
typedef NTSTATUS(NTAPI* PfnNtQueryDirectoryFile)(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK,
                                                 PVOID, ULONG, FILE_INFORMATION_CLASS, BOOLEAN,
                                                 PUNICODE_STRING, BOOLEAN);
typedef NTSTATUS(NTAPI* PfnNtQueryInformationFile)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                   FILE_INFORMATION_CLASS);
typedef NTSTATUS(NTAPI* PfnNtSetInformationFile)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                 FILE_INFORMATION_CLASS);
typedef BOOLEAN(NTAPI* PfnRtlEqualUnicodeString)(const UNICODE_STRING*, const UNICODE_STRING*,
                                                 BOOLEAN);

// A volume path holds at most 32767 characters; its record, the length before.
constexpr DWORD kNameRecordSize = sizeof(ULONG) + 32767 * sizeof(wchar_t);

template <typename Pfn> Pfn As(void* function) { return reinterpret_cast<Pfn>(function); }

}  // namespace

bool NtFileCalls::Bind() {
  HMODULE ntdll = GetModuleHandleA("ntdll");  // always loaded; not loaded or freed here
  if (ntdll == nullptr) return false;
  open_ = reinterpret_cast<void*>(GetProcAddress(ntdll, "NtOpenFile"));
  queryDirectory_ = reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryDirectoryFile"));
  queryInformation_ = reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationFile"));
  setInformation_ = reinterpret_cast<void*>(GetProcAddress(ntdll, "NtSetInformationFile"));
  // The file system's own rule for case: the system's upcase table.
  equalText_ = reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlEqualUnicodeString"));
  return open_ != nullptr && queryDirectory_ != nullptr && queryInformation_ != nullptr &&
         setInformation_ != nullptr && equalText_ != nullptr &&
         nameRecord_.Allocate(kNameRecordSize);
}

HANDLE NtFileCalls::OpenInFolder(HANDLE parent, const wchar_t* name, size_t length,
                                 ACCESS_MASK access, ULONG share, ULONG options) const {
  if (open_ == nullptr || length == 0 || length > 255) return nullptr;  // one part of a path
  UNICODE_STRING text;
  text.Buffer = const_cast<wchar_t*>(name);
  text.Length = text.MaximumLength = static_cast<USHORT>(length * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, parent, nullptr);
  IO_STATUS_BLOCK status;
  HANDLE handle = nullptr;
  if (As<PfnNtOpenFile>(open_)(&handle, access | SYNCHRONIZE, &attributes, &status, share,
                               options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT |
                                   FILE_OPEN_FOR_BACKUP_INTENT) != 0)
    return nullptr;
  return handle;
}

NtFileCalls::Entries NtFileCalls::ReadEntries(HANDLE folder, void* buffer, ULONG size) const {
  if (queryDirectory_ == nullptr) return Entries::kFailed;
  IO_STATUS_BLOCK status;
  const NTSTATUS result = As<PfnNtQueryDirectoryFile>(queryDirectory_)(
      folder, nullptr, nullptr, nullptr, &status, buffer, size, FileDirectoryInformation, FALSE,
      nullptr, FALSE);
  if (result == 0) return Entries::kRead;
  return result == static_cast<NTSTATUS>(0x80000006L) ? Entries::kNoMore  // STATUS_NO_MORE_FILES
                                                      : Entries::kFailed;
}

bool NtFileCalls::MarkForDeletion(HANDLE handle) const {
  if (setInformation_ == nullptr) return false;
  FILE_DISPOSITION_INFORMATION disposition;
  disposition.DoDeleteFile = TRUE;
  IO_STATUS_BLOCK status;
  return As<PfnNtSetInformationFile>(setInformation_)(handle, &status, &disposition,
                                                      sizeof disposition,
                                                      FileDispositionInformation) == 0;
}

bool NtFileCalls::SetAttributes(HANDLE handle, DWORD attributes) const {
  if (setInformation_ == nullptr) return false;
  FILE_BASIC_INFORMATION basic;
  memset(&basic, 0, sizeof basic);  // times of 0 stay as they are
  basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
  IO_STATUS_BLOCK status;
  return As<PfnNtSetInformationFile>(setInformation_)(handle, &status, &basic, sizeof basic,
                                                      FileBasicInformation) == 0;
}

bool NtFileCalls::IsNamedOnVolume(HANDLE handle, const wchar_t* name, size_t length) {
  if (queryInformation_ == nullptr || equalText_ == nullptr || length > 32767 ||
      nameRecord_.As<void>() == nullptr)
    return false;
  IO_STATUS_BLOCK status;
  if (As<PfnNtQueryInformationFile>(queryInformation_)(handle, &status, nameRecord_.As<void>(),
                                                       kNameRecordSize,
                                                       FileNameInformation) != 0)
    return false;
  FILE_NAME_INFORMATION* information = nameRecord_.As<FILE_NAME_INFORMATION>();
  if (information->FileNameLength > kNameRecordSize - sizeof(ULONG)) return false;
  UNICODE_STRING actual, expected;
  actual.Buffer = information->FileName;
  actual.Length = actual.MaximumLength = static_cast<USHORT>(information->FileNameLength);
  expected.Buffer = const_cast<wchar_t*>(name);
  expected.Length = expected.MaximumLength = static_cast<USHORT>(length * sizeof(wchar_t));
  return information->FileNameLength == expected.Length &&
         As<PfnRtlEqualUnicodeString>(equalText_)(&actual, &expected, TRUE);
}
