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

// Both slashes separate parts for the process start.
const wchar_t kSeparators[] = L"\\/";

// Neither empty nor "." or "..": every part names one folder further down.
bool IsStepDown(const wchar_t* part, size_t length) {
  if (length == 0) return false;
  return !(part[0] == L'.' && (length == 1 || (length == 2 && part[1] == L'.')));
}

}  // namespace

bool MakeFrontEndPath(const char* directory, char* path, size_t capacity) {
  if (path == nullptr || capacity == 0) return false;
  path[0] = '\0';
  // Read as the system reads it, as characters: on a double-byte code page a
  // character's second byte can be 0x5C, which separates nothing there.
  wchar_t wide[MAX_PATH];
  if (!AnsiToWide(directory, wide, MAX_PATH)) return false;
  size_t length = wcslen(wide);
  // Windows Installer writes every directory with one separator at its end.
  if (length > 0 && wcschr(kSeparators, wide[length - 1]) != nullptr) --length;
  if (!IsDriveRootedPath(wide, length, kSeparators, IsStepDown) &&
      !IsShareRootedPath(wide, length, kSeparators, IsStepDown))
    return false;
  // Back to the code page the process start reads, then the front end's name; a
  // path cut to fit would name another file.
  return WideToExactAnsi(wide, length, path, capacity) &&
         AppendBounded(path, capacity, "\\tervgui.exe");
}

void LaunchAccelerator() {
  char directory[MAX_PATH];
  memset(directory, 0, sizeof directory);
  if (!FindInstalledProduct(kAcceleratorBrand, directory)) return;

  // The directory comes from the registry. One that is not fully qualified
  // ("", a relative name, "C:name", "\name", an unexpanded "%ProgramFiles%\...")
  // would be resolved against the current folder or drive, where anyone may
  // have put a tervgui.exe. Start nothing then, nor when the path is too long.
  char path[MAX_PATH];
  if (!MakeFrontEndPath(directory, path, sizeof path)) return;

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
