// demo_modem.exe: what the system's modem panel does when the user adds the
// modem, for the demo: installs a modem device from the driver INF in the
// current folder (the device console then lists it), or removes what is left.
//   demo_modem add | remove
#include <windows.h>
#include <string.h>

#include "tests/support/test_devices.h"

int main(int argc, char** argv) {
  const char kId[] = "ROOT\\MODEM\\DEMO&ZORVANE_0001";
  if (argc == 2 && strcmp(argv[1], "add") == 0) {
    if (!EnsureModemClass()) return 2;
    char inf[MAX_PATH] = {};
    if (GetFullPathNameA("Zorvane.inf", sizeof inf, inf, nullptr) >= sizeof inf) return 2;
    return InstallTestDeviceFromInf(inf, kId, "MDMZORVANE_PPP") ? 0 : 2;
  }
  if (argc == 2 && strcmp(argv[1], "remove") == 0) return RemoveTestDevice(kId) ? 0 : 1;
  return 3;
}
