// HalvoranSetup.exe: the setup program that ships beside HalvoranSetup.msi.
//
// Its manifest asks for administrator rights, so Windows Installer runs with
// the elevated token of the user who started it: the package's custom actions
// run as that user (impersonated), with the rights they need, on that user's
// desktop, and their per-user writes are that user's.
//
//   HalvoranSetup.exe [options]   msiexec /i "<HalvoranSetup.msi beside it>" [options]
//   HalvoranSetup.exe /x {product code} [options]
//                                 msiexec /x {product code} [options], from a
//                                 private copy (removal_copy.h); the list of
//                                 installed programs runs this
//   HalvoranSetup.exe /rollback   the package's roll-back step (rollback_step.h)
//
// Exit codes, as Windows Installer's:
//   msiexec's own        the install, or the copy's removal, ran
//   0                    /x: the copy has taken over the removal
//   1601 (ERROR_INSTALL_SERVICE_FAILURE)      msiexec could not be started
//   1619 (ERROR_INSTALL_PACKAGE_OPEN_FAILED)  no HalvoranSetup.msi beside it
//   1632 (ERROR_INSTALL_TEMP_UNWRITABLE)      /x: no private copy could be made
//   1639 (ERROR_INVALID_COMMAND_LINE)         /x without a product code, or a
//                                             command line too long to pass on
// Each failure is also told in a message box, unless the options ask
// Windows Installer for no user interface (/qn, /quiet): nobody would close it.
#include <windows.h>

#include "platform/bounded_string.h"
#include "tools/setup/installer_command.h"
#include "tools/setup/own_path.h"
#include "tools/setup/removal_copy.h"
#include "tools/setup/rollback_step.h"
#include "tools/setup/setup_request.h"

namespace {

const char kCaption[] = "Halvoran Setup";
const char kPackageName[] = "HalvoranSetup.msi";

char g_line[kCommandLineCapacity];

int Refuse(const SetupRequest& request, int exitCode, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

int Refuse(const SetupRequest& request, int exitCode, const char* format, ...) {
  if (AsksForNoUserInterface(request.options)) return exitCode;
  char text[1024];
  va_list args;
  va_start(args, format);
  FormatBoundedV(text, sizeof text, format, args);
  va_end(args);
  MessageBoxA(nullptr, text, kCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  return exitCode;
}

bool IsFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// msiexec with an action on a target, waited for; its exit code.
int RunMsiexec(const SetupRequest& request, const char* action, const char* target,
               const char* currentDir) {
  char msiexec[MAX_PATH];
  if (!MsiexecPath(msiexec))
    return Refuse(request, ERROR_INSTALL_SERVICE_FAILURE, "Windows Installer was not found.");
  if (!BuildInstallerCommand(g_line, sizeof g_line, msiexec, action, target, request.options))
    return Refuse(request, ERROR_INVALID_COMMAND_LINE, "The command line is too long.");
  DWORD exitCode = 0;
  const DWORD error = RunAndWait(msiexec, g_line, currentDir, &exitCode);
  if (error != 0)
    return Refuse(request, ERROR_INSTALL_SERVICE_FAILURE,
                  "Windows Installer could not be started (error %lu):\n%s", error, msiexec);
  return static_cast<int>(exitCode);
}

int Install(const SetupRequest& request) {
  char folder[MAX_PATH], package[MAX_PATH];
  if (!OwnFolder(folder) || !FormatBounded(package, sizeof package, "%s\\%s", folder, kPackageName))
    return Refuse(request, ERROR_INSTALL_PACKAGE_OPEN_FAILED,
                  "The folder of this program has too long a path for Windows Installer.");
  if (!IsFile(package))
    return Refuse(request, ERROR_INSTALL_PACKAGE_OPEN_FAILED,
                  "The installation package was not found:\n%s\n\n"
                  "Keep HalvoranSetup.exe and HalvoranSetup.msi together in one folder.",
                  package);
  return RunMsiexec(request, "/i", package, nullptr);
}

int HandOver(const SetupRequest& request) {
  const DWORD error = HandOverRemoval(request.productCode, request.options);
  if (error != 0)
    return Refuse(request, ERROR_INSTALL_TEMP_UNWRITABLE,
                  "Setup could not make its copy in the temp folder for the removal (error %lu).",
                  error);
  return 0;
}

int RemoveFromCopy(const SetupRequest& request) {
  char folder[MAX_PATH];
  return RunMsiexec(request, "/x", request.productCode, OwnFolder(folder) ? folder : nullptr);
}

int RollBack() {
  char folder[MAX_PATH];
  if (OwnFolder(folder)) RollBackSetUp(folder);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const SetupRequest request = ReadSetupRequest(GetCommandLineA());
  switch (request.mode) {
    case SetupMode::kInstall:
      return Install(request);
    case SetupMode::kRemove:
      return HandOver(request);
    case SetupMode::kRemoveFromCopy:
      return RemoveFromCopy(request);
    case SetupMode::kRollback:
      return RollBack();
    case SetupMode::kNoProductCode:
      break;
  }
  return Refuse(request, ERROR_INVALID_COMMAND_LINE,
                "Usage: HalvoranSetup.exe /x {product code} [Windows Installer options]\n\n"
                "The removal needs the product code in braces, as the list of installed "
                "programs gives it.");
}
