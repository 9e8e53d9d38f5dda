#include "tests/seams/scripted_probes.h"
#include "platform/probes.h"

int g_scriptedIsWow64 = 0;
int g_isWow64Calls = 0;

int IsWow64() {
  ++g_isWow64Calls;
  return g_scriptedIsWow64;
}
