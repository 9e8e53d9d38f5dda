#include "sequences/recorded_folder.h"

#include <windows.h>
#include <string.h>

#include "platform/ansi_text.h"
#include "platform/drive_rooted_path.h"

namespace {

// Wildcards (the file system also takes < > " as such), stream or device
// colons, forward slashes that would split a name, control characters.
bool IsPlainPathCharacter(wchar_t c) { return c >= 0x20 && wcschr(L"*?<>\"|:/", c) == nullptr; }

// A part made of dots and blanks only resolves to this folder or one above it;
// one that ends in a dot or blank resolves to the part without them. So a part
// must be plain characters that end in neither.
bool NamesAFolderOfItsOwn(const wchar_t* part, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (!IsPlainPathCharacter(part[i])) return false;
  return length > 0 && part[length - 1] != L'.' && part[length - 1] != L' ';
}

}  // namespace

bool ReadFolderBelowDriveRoot(const char* directory, size_t capacity, wchar_t* folder) {
  if (directory == nullptr || folder == nullptr || strnlen(directory, capacity) == capacity)
    return false;  // not terminated
  if (!AnsiToWide(directory, folder, MAX_PATH)) return false;
  size_t length = wcslen(folder);
  while (length > 0 && folder[length - 1] == L'\\') --length;
  folder[length] = L'\0';
  // "X:\" and at least one part, each separated by exactly one backslash.
  return IsDriveRootedPath(folder, length, L"\\", NamesAFolderOfItsOwn);
}
