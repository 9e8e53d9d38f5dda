// Registry tree removal. RegDeleteKeyA refuses a key that still has subkeys, so
// the tree goes depth first: every delete and every open is made on the root with
// the full path, which all levels build in one shared buffer, in place.
#include "records/registry_tree.h"

#include <string.h>

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

  char name[kSubkeyNameSize];
  DWORD nameSize = kSubkeyNameSize;
  FILETIME lastWrite;
  // Always index 0: the subkey just removed no longer occupies it.
  while (RegEnumKeyExA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, &lastWrite) ==
         ERROR_SUCCESS) {
    // A subkey whose path would not fit is never entered under a cut name; it
    // stays, and so does every key above it.
    if (!CopyBounded(end, room, name)) break;
    if (DeleteKeyRecursive(root, pathBuffer) == 0) break;
    nameSize = kSubkeyNameSize;
  }

  end[-1] = '\0';  // the key's own path again
  RegCloseKey(key);
  return RegDeleteKeyA(root, pathBuffer) == ERROR_SUCCESS ? 1 : 0;
}
