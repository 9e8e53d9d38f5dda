#include "sequences/contents_pattern.h"

#include <string.h>

#include "platform/bounded_string.h"

namespace {

const char kContentsSuffix[] = "\\*.*";

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Wildcards (the file system also takes < > " as such), stream or device
// colons, forward slashes that would split a name, control characters.
bool IsPlainPathCharacter(char c) {
  return static_cast<unsigned char>(c) >= 0x20 && strchr("*?<>\"|:/", c) == nullptr;
}

// A part made of dots and blanks only resolves to this folder or one above it.
bool NamesAFolderOfItsOwn(const char* part, size_t length) {
  if (length == 0) return false;
  for (size_t i = 0; i < length; ++i)
    if (part[i] != '.' && part[i] != ' ') return true;
  return false;
}

// "X:\" and at least one plain part, each separated by exactly one backslash.
bool IsFolderBelowDriveRoot(const char* directory, size_t length) {
  if (length < 4 || !IsDriveLetter(directory[0]) || directory[1] != ':' || directory[2] != '\\')
    return false;
  size_t partStart = 3;
  for (size_t i = 3; i <= length; ++i) {
    if (i < length && directory[i] != '\\') {
      if (!IsPlainPathCharacter(directory[i])) return false;
      continue;
    }
    if (!NamesAFolderOfItsOwn(directory + partStart, i - partStart)) return false;
    partStart = i + 1;
  }
  return true;
}

}  // namespace

bool MakeContentsPattern(char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return false;
  size_t length = strnlen(buffer, capacity);
  if (length == capacity) return false;  // not terminated
  while (length > 0 && buffer[length - 1] == '\\') --length;

  // The pattern, its terminator and the list's second terminator must fit.
  if (length + sizeof kContentsSuffix + 1 > capacity) return false;
  if (!IsFolderBelowDriveRoot(buffer, length)) return false;

  buffer[length] = '\0';
  AppendBounded(buffer, capacity, kContentsSuffix);
  buffer[length + sizeof kContentsSuffix] = '\0';
  return true;
}
