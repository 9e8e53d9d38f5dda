// The launch job: start the web accelerator's front end, then open the dial
// dialog for the entry. Neither step's outcome stops the other.
#include "sequences/sequences.h"

#include "app/product_names.h"
#include "modem/dialup_entry.h"
#include "platform/bounded_string.h"
#include "records/installed_product.h"

#include <string.h>

int RunLaunch(StatusCallback callback, void* context) {
  callback(context, "Launching Zorvane Halvoran...");
  LaunchAccelerator();
  ShowDialDialog(context);
  return 1;
}

void LaunchAccelerator() {
  char path[MAX_PATH];
  memset(path, 0, sizeof path);
  if (!FindInstalledProduct(kAcceleratorBrand, path)) return;

  // A brand found without a directory would make the path "\tervgui.exe", a
  // file in the root of the current drive; a directory too long for the buffer
  // would cut the name. Start nothing in either case.
  if (path[0] == '\0') return;
  if (!AppendBounded(path, "\\tervgui.exe")) return;

  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process;
  memset(&process, 0, sizeof process);

  if (CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                     nullptr, &startup, &process)) {
    // Nothing waits for the front end; it goes on running after this program ends.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}
