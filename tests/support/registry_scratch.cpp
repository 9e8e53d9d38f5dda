#include "tests/support/registry_scratch.h"

#include <winternl.h>

#include "platform/scoped_handles.h"

extern "C" {
NTSTATUS NTAPI NtCreateKey(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, ULONG, UNICODE_STRING*, ULONG,
                           ULONG*);
NTSTATUS NTAPI NtOpenKey(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*);
NTSTATUS NTAPI NtDeleteKey(HANDLE);
}

namespace {

LONG Open(HKEY root, const std::string& path, REGSAM access, ScopedKey* key) {
  return RegOpenKeyExA(root, path.c_str(), 0, access, key->Receive());
}

bool SetDacl(HKEY root, const std::string& path, ACL* dacl, PSID owner) {
  ScopedKey key;
  if (Open(root, path, WRITE_DAC | (owner ? WRITE_OWNER : 0), &key) != ERROR_SUCCESS) return false;
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, dacl, FALSE);
  SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
  if (owner) {
    SetSecurityDescriptorOwner(&sd, owner, FALSE);
    what |= OWNER_SECURITY_INFORMATION;
  }
  return RegSetKeySecurity(key.Get(), what, &sd) == ERROR_SUCCESS;
}

}  // namespace

bool CreateKeyPath(HKEY root, const std::string& path) {
  ScopedKey key;
  return RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                         nullptr) == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::string& path) {
  ScopedKey key;
  LONG status = Open(root, path, KEY_QUERY_VALUE, &key);
  return status != ERROR_FILE_NOT_FOUND;  // a locked key still exists
}

bool SetValueBytes(HKEY root, const std::string& path, const std::string& name,
                   const std::string& data, DWORD type) {
  if (!CreateKeyPath(root, path)) return false;
  ScopedKey key;
  if (Open(root, path, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  return RegSetValueExA(key.Get(), name.c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool SetStringValue(HKEY root, const std::string& path, const std::string& name,
                    const std::string& text) {
  return SetValueBytes(root, path, name, std::string(text.c_str(), text.size() + 1));
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name) {
  ScopedKey key;
  if (Open(root, path, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  return RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

bool LockKey(HKEY root, const std::string& path, DWORD deniedAccess) {
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID everyone = nullptr, system = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system);
  alignas(DWORD) char aclBuffer[256];
  ACL* acl = reinterpret_cast<ACL*>(aclBuffer);
  InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
  AddAccessDeniedAce(acl, ACL_REVISION, deniedAccess, everyone);
  // WRITE_DAC stays allowed (unless denied) so that ForceDeleteKeyTree can lift the lock.
  AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone);
  bool ok = SetDacl(root, path, acl, system);
  FreeSid(everyone);
  FreeSid(system);
  return ok;
}

// Leaves that a test made with CreateCountedKey and left behind (it failed on
// the way): the ANSI calls above cannot name them.
static void DeleteCountedLeaves(HKEY root, const std::string& path);

bool ForceDeleteKeyTree(HKEY root, const std::string& path) {
  if (path.empty() || path[0] == '\\') return false;  // never the root itself
  SetDacl(root, path, nullptr, nullptr);  // a null DACL allows everything
  // Leaves first, links among them, deleted as themselves: opened by name, a
  // link would lead below into what it names, and one that names a key above
  // it round again without end.
  DeleteCountedLeaves(root, path);
  {
    ScopedKey key;
    if (Open(root, path, KEY_READ, &key) == ERROR_SUCCESS) {
      std::vector<std::string> children;
      char name[512];
      for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key.Get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
          break;
        children.push_back(name);
      }
      for (const std::string& child : children) ForceDeleteKeyTree(key.Get(), child);
    }
  }
  RegDeleteKeyA(root, path.c_str());
  return !KeyExists(root, path);
}

namespace {

// Opens (create: creates) the key named by the counted wide name below root\parent.
HANDLE OpenCounted(HKEY root, const std::string& parent, const std::wstring& name, bool create,
                   bool link) {
  ScopedKey parentKey;
  if (Open(root, parent, KEY_ALL_ACCESS, &parentKey) != ERROR_SUCCESS) return nullptr;
  UNICODE_STRING counted;
  counted.Buffer = const_cast<wchar_t*>(name.data());
  counted.Length = counted.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE | OBJ_OPENLINK,
                             parentKey.Get(), nullptr);
  HANDLE key = nullptr;
  NTSTATUS status = create ? NtCreateKey(&key, KEY_ALL_ACCESS | KEY_CREATE_LINK, &attributes, 0,
                                         nullptr, link ? REG_OPTION_CREATE_LINK : 0, nullptr)
                           : NtOpenKey(&key, KEY_ALL_ACCESS, &attributes);
  return status == 0 ? key : nullptr;
}

}  // namespace

bool CreateCountedKey(HKEY root, const std::string& parent, const std::wstring& name,
                      const std::wstring& linkTarget) {
  if (!CreateKeyPath(root, parent)) return false;
  HANDLE key = OpenCounted(root, parent, name, true, !linkTarget.empty());
  if (key == nullptr) return false;
  LONG status = linkTarget.empty()
                    ? RegSetValueExW(static_cast<HKEY>(key), L"Value", 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(L"x"), 2 * sizeof(wchar_t))
                    : RegSetValueExW(static_cast<HKEY>(key), L"SymbolicLinkValue", 0, REG_LINK,
                                     reinterpret_cast<const BYTE*>(linkTarget.data()),
                                     static_cast<DWORD>(linkTarget.size() * sizeof(wchar_t)));
  RegCloseKey(static_cast<HKEY>(key));
  return status == ERROR_SUCCESS;
}

bool DeleteCountedKey(HKEY root, const std::string& parent, const std::wstring& name) {
  HANDLE key = OpenCounted(root, parent, name, false, false);
  if (key == nullptr) return false;
  bool deleted = NtDeleteKey(key) == 0;
  RegCloseKey(static_cast<HKEY>(key));
  return deleted;
}

static void DeleteCountedLeaves(HKEY root, const std::string& path) {
  std::vector<std::wstring> names;
  {
    ScopedKey key;
    if (Open(root, path, KEY_READ, &key) != ERROR_SUCCESS) return;
    wchar_t name[512];
    for (DWORD i = 0;; ++i) {
      DWORD length = 512;
      if (RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      names.push_back(std::wstring(name, length));
    }
  }
  for (const std::wstring& name : names) DeleteCountedKey(root, path, name);
}

ValueOverride::ValueOverride(HKEY root, const std::string& path, const std::string& name,
                             const std::string& text, DWORD type, REGSAM view)
    : root_(root), path_(path), name_(name), view_(view) {
  ScopedKey key;
  if (Open(root, path, KEY_QUERY_VALUE | KEY_SET_VALUE | view, &key) != ERROR_SUCCESS) return;
  char data[4096];
  DWORD size = sizeof data;
  existed_ = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &savedType_,
                              reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
  if (existed_) saved_.assign(data, size);
  set_ = RegSetValueExA(key.Get(), name.c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

ValueOverride::~ValueOverride() {
  ScopedKey key;
  if (!set_ || Open(root_, path_, KEY_SET_VALUE | view_, &key) != ERROR_SUCCESS) return;
  if (existed_)
    RegSetValueExA(key.Get(), name_.c_str(), 0, savedType_,
                   reinterpret_cast<const BYTE*>(saved_.data()), static_cast<DWORD>(saved_.size()));
  else
    RegDeleteValueA(key.Get(), name_.c_str());
}
