#include "worker/success_marker.h"

#include <windows.h>

void CreateSuccessMarker() {
  HANDLE marker = CreateFileA("tmp.txt", 0, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
}
