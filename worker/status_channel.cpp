#include "worker/status_channel.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "platform/bounded_string.h"

int __cdecl ReportStatus(void* context, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  FormatBoundedV(line, sizeof line, format, args);  // a longer line keeps its first 1023 characters
  va_end(args);

  char* copy = _strdup(line);
  if (copy == nullptr) return 0;
  // No window (the dialog is gone): a post to a null window would land in this
  // thread's own queue, where nobody frees the copy.
  HWND dialog = ContextWindow(context);
  if (dialog != nullptr && PostMessageA(dialog, WM_STATUSTEXT, 0, reinterpret_cast<LPARAM>(copy)))
    return 1;
  // The post failed: the dialog never sees this copy, so it is freed here.
  free(copy);
  return 0;
}
