// The launch job: start the web accelerator's front end, then open the dial
// dialog for the entry. Neither step's outcome stops the other.
#include "sequences/sequences.h"

#include "job/product_names.h"
#include "modem/dialup_entry.h"
#include "platform/ansi_text.h"
#include "platform/bounded_string.h"
#include "platform/drive_rooted_path.h"
#include "platform/scoped_handles.h"
#include "records/installed_product.h"

#include <string.h>
#include <wchar.h>

int RunLaunch(StatusCallback callback, void* context) {
  callback(context, "Launching Zorvane Halvoran...");
  LaunchAccelerator();
  ShowDialDialog(context);
  return 1;
}

namespace {

// Neither empty nor "." or "..": every part names one folder further down.
bool IsStepDown(const wchar_t* part, size_t length) {
  if (length == 0) return false;
  return !(part[0] == L'.' && (length == 1 || (length == 2 && part[1] == L'.')));
}

}  // namespace

bool IsDriveRootedDirectory(const char* path) {
  // Read as the system reads it, as characters: on a double-byte code page a
  // character's second byte can be 0x5C, which separates nothing there.
  wchar_t wide[MAX_PATH];
  if (!AnsiToWide(path, wide, MAX_PATH)) return false;
  // Both slashes separate parts for the process start.
  return IsDriveRootedPath(wide, wcslen(wide), L"\\/", IsStepDown);
}

void LaunchAccelerator() {
  char path[MAX_PATH];
  memset(path, 0, sizeof path);
  if (!FindInstalledProduct(kAcceleratorBrand, path)) return;

  // The directory comes from the registry. One without a drive root ("", a
  // relative name, "C:name", an unexpanded "%ProgramFiles%\...") would be
  // resolved against the current folder or drive, where anyone may have put a
  // tervgui.exe; a directory too long for the buffer would cut the name. Start
  // nothing in either case.
  if (!IsDriveRootedDirectory(path)) return;
  if (!AppendBounded(path, "\\tervgui.exe")) return;

  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  // Nothing waits for the front end; it goes on running after this program
  // ends, and its handles close here.
  ScopedProcess process;
  CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                 &startup, process.Receive());
}
