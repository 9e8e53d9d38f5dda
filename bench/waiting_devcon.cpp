// Stands in for the device console while the start-up of the real program is
// timed: its listing waits until the benchmark releases it (at most a minute),
// which keeps the uninstall job, and so the progress dialog, open without work.
#include <windows.h>

int main() {
  if (HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "HalvoranBenchRelease")) {
    WaitForSingleObject(release, 60000);
    CloseHandle(release);
  }
  return 0;
}
