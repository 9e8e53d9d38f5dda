// Registry tree removal. RegDeleteKeyA refuses a key that still has subkeys, so
// the tree goes depth first: every delete and every open is made on the root with
// the full path, which all levels build in one shared buffer, in place.
#include "records/registry_tree.h"

#include <string.h>

#include "platform/ansi_text.h"
#include "platform/bounded_string.h"

namespace {

// A subkey name of at most 259 characters and its terminator; longer names end
// the enumeration.
constexpr DWORD kSubkeyNameSize = MAX_PATH;

// An empty path, or one that begins with a separator, would name the root itself:
// the recursion would then empty the whole root.
bool NamesKeyBelowRoot(const char* path) {
  return path != nullptr && path[0] != '\0' && path[0] != '\\';
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

}  // namespace

int DeleteRegistryTree(HKEY root, const char* path) {
  char pathBuffer[kRegistryPathBufferSize];
  // A path cut to fit would name another key: such a tree counts as not removed.
  if (!NamesKeyBelowRoot(path) || !CopyBounded(pathBuffer, path)) return 0;
  return DeleteKeyRecursive(root, pathBuffer);
}

int DeleteKeyRecursive(HKEY root, char* pathBuffer) {
  if (!NamesKeyBelowRoot(pathBuffer)) return 0;
  size_t length = strnlen(pathBuffer, kRegistryPathBufferSize);
  if (length == kRegistryPathBufferSize) return 0;  // not a terminated path

  // A key without subkeys goes with its values in one call, never opened.
  if (RegDeleteKeyA(root, pathBuffer) == ERROR_SUCCESS) return 1;

  HKEY key = nullptr;
  LONG status = RegOpenKeyExA(root, pathBuffer, 0, KEY_READ, &key);
  if (status != ERROR_SUCCESS) return status == ERROR_FILE_NOT_FOUND ? 1 : 0;

  // The end point: where each subkey's name goes, behind one separator. A path
  // that already ends with one is used as it is and loses it below.
  if (pathBuffer[length - 1] != '\\' &&
      !AppendBounded(pathBuffer, kRegistryPathBufferSize, "\\")) {
    RegCloseKey(key);
    return 0;  // no room for any subkey's path: the key keeps its subkeys
  }
  char* end = pathBuffer + strlen(pathBuffer);
  const size_t room = kRegistryPathBufferSize - static_cast<size_t>(end - pathBuffer);

  DWORD subkeys = 0;
  char name[kSubkeyNameSize];
  // Always index 0: the subkey just removed no longer occupies it. Each pass must
  // leave one subkey fewer, or the same index would be asked for again without end.
  while (CountSubkeys(key, &subkeys) && subkeys > 0 && FirstSubkeyName(key, name)) {
    // A subkey whose path would not fit is never entered under a cut name; it
    // stays, and so does every key above it.
    if (!CopyBounded(end, room, name)) break;
    if (DeleteKeyRecursive(root, pathBuffer) == 0) break;
    DWORD left = 0;
    if (!CountSubkeys(key, &left) || left >= subkeys) break;
  }

  end[-1] = '\0';  // the key's own path again
  // Closed by hand, and before the delete: an open handle would keep the key
  // from going on some systems. (No scoped key here for that reason.)
  RegCloseKey(key);
  return RegDeleteKeyA(root, pathBuffer) == ERROR_SUCCESS ? 1 : 0;
}
