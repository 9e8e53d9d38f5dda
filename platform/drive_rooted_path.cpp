#include "platform/drive_rooted_path.h"

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

bool IsDriveRootedPath(const wchar_t* path, size_t length, const wchar_t* separators,
                       PathPartCheck check) {
  if (length < 3 || !IsDriveLetter(path[0]) || path[1] != L':' || path[2] != L'\\') return false;
  size_t partStart = 3;
  for (size_t i = 3; i <= length; ++i) {
    const bool separates =
        i == length || (path[i] != L'\0' && wcschr(separators, path[i]) != nullptr);
    if (!separates) continue;
    if (!check(path + partStart, i - partStart)) return false;
    partStart = i + 1;
  }
  return true;
}
