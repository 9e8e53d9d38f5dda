#include "tests/seams/scripted_probes.h"
#include "platform/probes.h"

int g_scriptedIsWindows7 = 0;
int g_isWindows7Calls = 0;

int IsWindows7() {
  ++g_isWindows7Calls;
  return g_scriptedIsWindows7;
}
