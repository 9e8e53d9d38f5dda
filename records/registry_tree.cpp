// Registry tree removal. A key that still has subkeys cannot be deleted, so the
// tree goes depth first. Each key is opened below its parent's handle by its
// name alone (the name ends the path that all levels build in one shared
// buffer, in place), never by a path from the root again: a key swapped for a
// link while the removal works below it cannot redirect it. Every open names
// the key itself, a registry link as the link (REG_OPTION_OPEN_LINK), and every
// delete goes through a handle to that key: a link goes as a link, and what it
// points to is never entered, changed or deleted.
#include "records/registry_tree.h"

#include <string.h>

#include "platform/ansi_text.h"
#include "platform/bounded_string.h"
#include "platform/scoped_handles.h"

namespace {

// A subkey name of at most 259 characters and its terminator; longer names end
// the enumeration.
constexpr DWORD kSubkeyNameSize = MAX_PATH;

// An empty path, or one that begins with a separator, would name the root itself:
// the recursion would then empty the whole root.
bool NamesKeyBelowRoot(const char* path) {
  return path != nullptr && path[0] != '\0' && path[0] != '\\';
}

// Deletes the key that the handle was opened on (with DELETE access), a link as
// the link itself, as the native call does ("ZwDeleteKey"). RegDeleteKeyA
// would open its path anew and, on a link, delete the key the link names. It
// fails, as it should, on a key that still has subkeys.
bool DeleteOpenedKey(HKEY key) {
  typedef LONG(NTAPI * PfnNtDeleteKey)(HANDLE);
  HMODULE ntdll = GetModuleHandleA("ntdll");
  if (ntdll == nullptr) return false;
  auto deleteKey = reinterpret_cast<PfnNtDeleteKey>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "NtDeleteKey")));
  return deleteKey != nullptr && deleteKey(key) == 0;  // STATUS_SUCCESS
}

LONG OpenKeyItself(HKEY parent, const char* name, REGSAM access, HKEY* key) {
  return RegOpenKeyExA(parent, name, REG_OPTION_OPEN_LINK, access, key);
}

// The number of subkeys the opened key has now; false when it cannot be told.
bool CountSubkeys(HKEY key, DWORD* count) {
  return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, count, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The subkey at index 0 of key by its exact ANSI name. Names are read wide: the
// ANSI enumeration gives '?' for a character that the code page lacks, and a
// name beginning with a NUL as an empty one; a path built from either names
// another key or this one again. Such a name, like one of more than 259 bytes,
// gives false: the subkey stays, and so does every key above it.
bool FirstSubkeyName(HKEY key, char (&name)[kSubkeyNameSize]) {
  wchar_t wideName[kSubkeyNameSize];
  DWORD length = kSubkeyNameSize;
  FILETIME lastWrite;
  if (RegEnumKeyExW(key, 0, wideName, &length, nullptr, nullptr, nullptr, &lastWrite) !=
      ERROR_SUCCESS)
    return false;
  return length > 0 && WideToExactAnsi(wideName, length, name, sizeof name);
}

// The key named by `name` below parent, with every key below it. name points
// into pathBuffer, at the end of the key's path, which the buffer holds again on
// return.
int DeleteKeyBelow(HKEY parent, char* pathBuffer, char* name) {
  // A key without subkeys (a link has none of its own) goes with its values in
  // one call, never opened for reading.
  ScopedKey deletable;
  LONG status = OpenKeyItself(parent, name, DELETE, deletable.Receive());
  if (status == ERROR_FILE_NOT_FOUND) return 1;  // nothing to remove
  if (status == ERROR_SUCCESS && DeleteOpenedKey(deletable.Get())) return 1;

  // The key's subkeys go first; a key that may not be deleted still loses them.
  HKEY key = nullptr;
  status = OpenKeyItself(parent, name, KEY_READ, &key);
  if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND ? 1 : 0;

  // The end point: where each subkey's name goes, behind one separator. A path
  // that already ends with one is used as it is and loses it below.
  const size_t length = strlen(pathBuffer);
  if (pathBuffer[length - 1] != '\\' &&
      !AppendBounded(pathBuffer, kRegistryPathBufferSize, "\\")) {
    RegCloseKey(key);
    return 0;  // no room for any subkey's path: the key keeps its subkeys
  }
  char* end = pathBuffer + strlen(pathBuffer);
  const size_t room = kRegistryPathBufferSize - static_cast<size_t>(end - pathBuffer);

  DWORD subkeys = 0;
  char subkeyName[kSubkeyNameSize];
  // Always index 0: the subkey just removed no longer occupies it. Each pass must
  // leave one subkey fewer, or the same index would be asked for again without end.
  while (CountSubkeys(key, &subkeys) && subkeys > 0 && FirstSubkeyName(key, subkeyName)) {
    // A subkey whose path would not fit is never entered under a cut name; it
    // stays, and so does every key above it.
    if (!CopyBounded(end, room, subkeyName)) break;
    if (DeleteKeyBelow(key, pathBuffer, end) == 0) break;
    DWORD left = 0;
    if (!CountSubkeys(key, &left) || left >= subkeys) break;
  }

  end[-1] = '\0';  // the key's own path again
  // Closed by hand, and before the delete: the reading is done. (No scoped key
  // here for that reason.)
  RegCloseKey(key);
  return deletable && DeleteOpenedKey(deletable.Get()) ? 1 : 0;
}

}  // namespace

int DeleteRegistryTree(HKEY root, const char* path) {
  char pathBuffer[kRegistryPathBufferSize];
  // A path cut to fit would name another key: such a tree counts as not removed.
  if (!NamesKeyBelowRoot(path) || !CopyBounded(pathBuffer, path)) return 0;
  return DeleteKeyRecursive(root, pathBuffer);
}

int DeleteKeyRecursive(HKEY root, char* pathBuffer) {
  if (!NamesKeyBelowRoot(pathBuffer)) return 0;
  if (strnlen(pathBuffer, kRegistryPathBufferSize) == kRegistryPathBufferSize)
    return 0;  // not a terminated path
  // The top key by its whole path below the root.
  return DeleteKeyBelow(root, pathBuffer, pathBuffer);
}
