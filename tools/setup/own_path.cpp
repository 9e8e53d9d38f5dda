#include "tools/setup/own_path.h"

#include <string.h>

bool OwnPath(char (&path)[MAX_PATH]) {
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // A full buffer means the path was cut.
  if (length == 0 || length >= MAX_PATH) {
    path[0] = '\0';
    return false;
  }
  return true;
}

bool OwnFolder(char (&folder)[MAX_PATH]) {
  if (!OwnPath(folder)) return false;
  char* lastSeparator = strrchr(folder, '\\');
  if (lastSeparator == nullptr) {
    folder[0] = '\0';
    return false;
  }
  *lastSeparator = '\0';
  return true;
}
