// IsWindows7 alone: tests replace this file at link time with a scripted probe.
#include "platform/probes.h"

#include <windows.h>
#include <string.h>

int IsWindows7() {
  OSVERSIONINFOA version;
  memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  // The result is not tested: a call that fails leaves the zeros, which read as 0.
  GetVersionExA(&version);
  return version.dwMajorVersion == 6 && version.dwMinorVersion >= 1 ? 1 : 0;
}
