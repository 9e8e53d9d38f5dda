#include "platform/drive_rooted_path.h"

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// The number of parts of path[start, length) that check accepts, in order, up
// to the first one it refuses; *all tells whether it refused none.
size_t AcceptedParts(const wchar_t* path, size_t start, size_t length, const wchar_t* separators,
                     PathPartCheck check, bool* all) {
  size_t accepted = 0;
  size_t partStart = start;
  for (size_t i = start; i <= length; ++i) {
    const bool separates =
        i == length || (path[i] != L'\0' && wcschr(separators, path[i]) != nullptr);
    if (!separates) continue;
    if (!check(path + partStart, i - partStart)) {
      *all = false;
      return accepted;
    }
    ++accepted;
    partStart = i + 1;
  }
  *all = true;
  return accepted;
}

bool IsOneCharacter(const wchar_t* part, size_t length, wchar_t c) {
  return length == 1 && part[0] == c;
}

}  // namespace

bool IsDriveRootedPath(const wchar_t* path, size_t length, const wchar_t* separators,
                       PathPartCheck check) {
  if (length < 3 || !IsDriveLetter(path[0]) || path[1] != L':' || path[2] != L'\\') return false;
  bool all = false;
  AcceptedParts(path, 3, length, separators, check, &all);
  return all;
}

bool IsShareRootedPath(const wchar_t* path, size_t length, const wchar_t* separators,
                       PathPartCheck check) {
  if (length < 2 || path[0] != L'\\' || path[1] != L'\\') return false;
  const wchar_t* server = path + 2;
  size_t serverLength = 0;
  while (2 + serverLength < length && wcschr(separators, server[serverLength]) == nullptr)
    ++serverLength;
  if (IsOneCharacter(server, serverLength, L'.') || IsOneCharacter(server, serverLength, L'?'))
    return false;
  bool all = false;
  // The server, the share, and at least one folder of the share.
  return AcceptedParts(path, 2, length, separators, check, &all) >= 3 && all;
}
