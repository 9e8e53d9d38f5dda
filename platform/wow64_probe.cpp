// IsWow64 alone: tests replace this file at link time with a scripted probe.
#include "platform/probes.h"

#include <windows.h>

typedef decltype(&::IsWow64Process) PfnIsWow64Process;

int IsWow64() {
  BOOL wow64 = FALSE;
  // Looked up in the already-loaded kernel32, never linked: systems before
  // Windows XP SP2 lack the function, and kernel32 is not loaded or freed here.
  HMODULE kernel32 = GetModuleHandleA("kernel32");
  if (kernel32 == nullptr) return 0;
  PfnIsWow64Process isWow64Process = reinterpret_cast<PfnIsWow64Process>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "IsWow64Process")));
  if (isWow64Process == nullptr) return 0;
  if (!isWow64Process(GetCurrentProcess(), &wow64)) return 0;
  return wow64 ? 1 : 0;
}
