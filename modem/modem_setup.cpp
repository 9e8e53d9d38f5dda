// The modem is never created here: when the remote-access devices lack it, the
// user adds it in the system's modem control panel, which this step opens and
// waits for. Which panel, and how, depends on the Windows version and on WOW64.
#include "modem/modem_setup.h"

#include <windows.h>
#include <cpl.h>
#include <ras.h>
#include <raserror.h>
#include <string.h>

#include "job/product_names.h"
#include "platform/bounded_string.h"
#include "platform/library_group.h"
#include "platform/probes.h"
#include "platform/ras_api_binding.h"
#include "platform/scoped_handles.h"
#include "platform/system_path.h"

// The device and start-up records: platform/record_sizes.cpp holds their layouts.
static_assert(ERROR_BUFFER_TOO_SMALL == 603, "the size probe's answer");

namespace {

// Reads the device list into a zero-filled heap block and tells whether a device's
// name begins with modemName. false when the list could not be read.
bool ScanDevices(const char* modemName, int* found) {
  DWORD bytes = 0;
  DWORD count = 0;
  if (RasApiBinding::RasEnumDevicesA(nullptr, &bytes, &count) != ERROR_BUFFER_TOO_SMALL)
    return false;
  // The first record's dwSize must be set: a size that does not hold one record
  // cannot be a device list.
  if (bytes < sizeof(RASDEVINFOA)) return false;
  HeapBlock block;
  if (!block.Allocate(bytes)) return false;
  auto* devices = block.As<RASDEVINFOA>();
  const DWORD allocated = bytes;

  devices[0].dwSize = sizeof(RASDEVINFOA);
  bool read = RasApiBinding::RasEnumDevicesA(devices, &bytes, &count) == 0;
  if (read) {
    *found = 0;
    // Never trust the count past the block that holds the records.
    DWORD records = count < allocated / sizeof(RASDEVINFOA) ? count : allocated / sizeof(RASDEVINFOA);
    size_t length = strlen(modemName);
    for (DWORD i = 0; i < records; ++i) {
      // A prefix match: a numbered second instance counts as the modem. Every record is visited.
      if (length < sizeof devices[i].szDeviceName &&
          strncmp(modemName, devices[i].szDeviceName, length) == 0)
        *found = 1;
    }
  }
  return read;
}

// The folder of this program's own file, without a trailing backslash.
bool GetProgramFolder(char* folder, DWORD capacity) {
  DWORD length = GetModuleFileNameA(nullptr, folder, capacity);
  if (length == 0 || length >= capacity) return false;  // none, or cut
  char* lastSeparator = strrchr(folder, '\\');
  if (lastSeparator == nullptr) return false;
  *lastSeparator = '\0';
  return true;
}

// The start settings that both panel programs are started with.
// (The process information starts zero-filled in its ScopedProcess.)
void PrepareStart(STARTUPINFOA* startup) {
  memset(startup, 0, sizeof *startup);
  startup->cb = sizeof *startup;
  startup->dwFlags = STARTF_USESHOWWINDOW;
  startup->wShowWindow = SW_SHOW;
}

// Where the system has no such panel, nothing is started: rundll32 would
// only report that it cannot find it.
bool IsFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool StartPanelProcess(char* commandLine, STARTUPINFOA* startup, ScopedProcess* process) {
  return CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, startup, process->Receive()) != FALSE;
}

// The panel program ends when the user closes it; waited for on its primary
// thread. Its handles close when the ScopedProcess goes: process, then thread.
void WaitForPanel(const ScopedProcess& process) {
  WaitForSingleObject(process.Thread(), INFINITE);
}

}  // namespace

int FindModemDevice(int* found, const char* modemName, StatusCallback callback) {
  int result = 0;
  int localFound = 0;
  if (found != nullptr) *found = 0;
  if (callback == nullptr || modemName == nullptr) return 0;
  BoundGroup<BindRasApi, ReleaseRasApi> rasApi;
  if (!rasApi) return 0;
  if (ScanDevices(modemName, &localFound)) {
    result = 1;
    if (found != nullptr) *found = localFound;
  }
  return result;
}

int SetUpModem(StatusCallback callback, void* context) {
  if (callback == nullptr) return 0;
  int found = 0;
  if (FindModemDevice(&found, kModemName, callback) && found) {
    callback(context, "Modem already installed\n");
  } else {
    callback(context, "Waiting for user to set up modem...\n");
    int opened;
    if (!IsWindows7())
      opened = OpenModemCpl();
    else if (IsWow64())
      opened = OpenTelephonCplWithCpl64();
    else
      opened = OpenTelephonCplInProcess();
    if (!opened) return 0;
  }
  // The answer always comes from a fresh search: the user may have closed the
  // panel without adding the modem.
  found = 0;
  if (!FindModemDevice(&found, kModemName, callback)) return 0;
  return found;
}

int OpenModemCpl() {
  // rundll32 and the panel by their full paths in the system folder: by bare
  // name the search would go on to the current folder and PATH, where an
  // installer's downloads lie (Windows Vista has no modem.cpl of its own).
  char rundll32[1000];
  char panel[1000];
  if (!BuildSystemPath("rundll32.exe", rundll32) || !BuildSystemPath("modem.cpl", panel)) return 0;
  char commandLine[1100];
  if (!FormatBounded(commandLine, sizeof commandLine,
                     "\"%s\" shell32.dll,Control_RunDLL \"%s\"", rundll32, panel))
    return 0;
  STARTUPINFOA startup;
  ScopedProcess process;
  PrepareStart(&startup);

  bool started;
  if (IsWow64()) {
    // A 32-bit process must reach the native rundll32 and modem.cpl, so the
    // redirection to the 32-bit system folder is off around the start alone.
    typedef decltype(&Wow64DisableWow64FsRedirection) PfnWow64DisableWow64FsRedirection;
    typedef decltype(&Wow64RevertWow64FsRedirection) PfnWow64RevertWow64FsRedirection;
    HMODULE kernel = GetModuleHandleA("kernel32");
    if (kernel == nullptr) return 0;
    auto disable = reinterpret_cast<PfnWow64DisableWow64FsRedirection>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
    auto revert = reinterpret_cast<PfnWow64RevertWow64FsRedirection>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    if (disable == nullptr || revert == nullptr) return 0;

    PVOID saved = nullptr;
    if (!disable(&saved)) return 0;
    started = IsFile(panel) && StartPanelProcess(commandLine, &startup, &process);
    if (!revert(saved)) return 0;  // not waited for; a started process's handles close
  } else {
    started = IsFile(panel) && StartPanelProcess(commandLine, &startup, &process);
  }
  if (!started) return 0;
  WaitForPanel(process);
  return 1;
}

int OpenTelephonCplWithCpl64() {
  STARTUPINFOA startup;
  ScopedProcess process;
  PrepareStart(&startup);

  char panel[1000];
  if (!BuildSystemPath("telephon.cpl", panel)) return 0;
  // CPL64.exe ships beside the program and is started from there, not found by
  // a search that begins in the current folder.
  char programFolder[MAX_PATH];
  if (!GetProgramFolder(programFolder, sizeof programFolder)) return 0;
  char commandLine[1100];
  if (!FormatBounded(commandLine, sizeof commandLine, "\"%s\\CPL64.exe\" %s", programFolder,
                     panel))
    return 0;

  if (!StartPanelProcess(commandLine, &startup, &process)) return 0;
  WaitForPanel(process);
  return 1;  // the start's result
}

int OpenTelephonCplInProcess() {
  // By its full path in the system folder; what it imports comes from there too.
  ScopedModule applet(LoadSystemLibrary("telephon.cpl"));
  if (!applet) return 0;
  auto entry = reinterpret_cast<APPLET_PROC>(
      reinterpret_cast<void*>(GetProcAddress(applet.Get(), "CPlApplet")));
  if (entry == nullptr) return 0;
  // Applet 1 of the file is the telephony panel; it is addressed directly, and
  // CPL_DBLCLK returns when the user closes its dialog.
  CPLINFO info;
  memset(&info, 0, sizeof info);  // an applet that fills nothing is double-clicked with lData 0
  entry(nullptr, CPL_INIT, 0, 0);
  entry(nullptr, CPL_INQUIRE, 1, reinterpret_cast<LPARAM>(&info));
  entry(nullptr, CPL_DBLCLK, 1, info.lData);
  entry(nullptr, CPL_EXIT, 0, 0);
  return 1;
}
