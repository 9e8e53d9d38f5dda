#include "tests/support/status_recorder.h"

#include <stdarg.h>
#include <stdio.h>

std::vector<std::string> g_statusLines;
std::vector<void*> g_statusContexts;

int __cdecl RecordStatus(void* context, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  g_statusLines.push_back(line);
  g_statusContexts.push_back(context);
  return 1;
}

void ClearRecordedStatus() {
  g_statusLines.clear();
  g_statusContexts.clear();
}
