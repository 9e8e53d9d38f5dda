#include "platform/system_path.h"

#include <windows.h>

#include "platform/bounded_string.h"

bool BuildSystemPath(const char* name, char* path, size_t capacity) {
  if (capacity == 0) return false;
  const UINT size = capacity < 0x7FFFFFFF ? static_cast<UINT>(capacity) : 0x7FFFFFFF;
  UINT length = GetSystemDirectoryA(path, size);
  if (length == 0 || length >= size) {
    path[0] = '\0';
    return false;
  }
  return AppendBounded(path, capacity, "\\") && AppendBounded(path, capacity, name);
}
