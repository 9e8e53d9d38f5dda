// A status callback for tests: every line reported through RecordStatus,
// formatted as the program's own callback formats it, kept in order with the
// context it came with.
#pragma once
#include <string>
#include <vector>

#include "job/status_callback.h"

extern std::vector<std::string> g_statusLines;
extern std::vector<void*> g_statusContexts;

int __cdecl RecordStatus(void* context, const char* format, ...);
void ClearRecordedStatus();
