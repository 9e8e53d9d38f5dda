// The modem driver INF lies beside the program as Zorvane.inf. Installing hands
// it to the setup library, which copies it into the system's INF store under a
// name of its own; removal finds the copies by the name they came in with.
#include "modem/driver_inf.h"

#include <stdlib.h>
#include <string.h>

#include "modem/inf_store.h"
#include "platform/bounded_string.h"
#include "platform/scoped_handles.h"
#include "platform/setup_api_binding.h"

int BuildDriverInfPath(char* buffer) {
  buffer[0] = '\0';
  char program[MAX_PATH] = {};
  // A path that fills the buffer may have been cut (and, on XP, left unterminated).
  DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;

  // Neither part can be longer than the whole path, which fitted in MAX_PATH.
  char drive[MAX_PATH] = {};
  char directory[MAX_PATH] = {};
  _splitpath(program, drive, directory, nullptr, nullptr);

  // Joined as _makepath would, but bounded: "Zorvane.inf" may be longer than the
  // program's own file name, so the result may not fit where the program's path did.
  char path[MAX_PATH] = {};
  bool fits = CopyBounded(path, drive) && AppendBounded(path, directory);
  size_t used = strlen(path);
  if (used > 0 && path[used - 1] != '\\' && path[used - 1] != '/')
    fits = fits && AppendBounded(path, "\\");
  fits = fits && AppendBounded(path, "Zorvane") && AppendBounded(path, ".inf");
  if (!fits) return 0;
  CopyBounded(buffer, MAX_PATH, path);
  return 1;
}

int StageDriverInf(StatusCallback callback, void* context) {
  if (callback == nullptr) return 0;
  // Bound on purpose without a release: the set-up library stays loaded until
  // UninstallDriverInf releases the group (the roll-back of a failed install
  // does) or the process ends. A second bind loads nothing more, since a group
  // loads its library only while it holds none, so one release frees it.
  if (!BindSetupApi()) return 0;
  callback(context, "Installing setup file\n");

  char destination[MAX_PATH];
  memset(destination, 0, sizeof destination);
  char source[MAX_PATH] = {};
  char currentDirectory[MAX_PATH] = {};
  if (!BuildDriverInfPath(source)) return 0;
  // GetCurrentDirectoryA writes nothing and returns the size it needs when the
  // directory does not fit; staging then fails rather than name a wrong media location.
  DWORD length = GetCurrentDirectoryA(MAX_PATH, currentDirectory);
  if (length == 0 || length >= MAX_PATH) return 0;

  BOOL copied = SetupApiBinding::SetupCopyOEMInfA(source, currentDirectory, SPOST_PATH,
                                                  SP_COPY_NOOVERWRITE, destination, MAX_PATH,
                                                  nullptr, nullptr);
  DWORD lastError = GetLastError();
  // A store path that does not fit is no name at all: never show a cut or unterminated one.
  if (memchr(destination, '\0', sizeof destination) == nullptr) destination[0] = '\0';

  if (copied) {
    callback(context, "INF file: %s\n", destination);
    callback(context, "Successfully copied setup file\n");
    return copied;
  }
  // With SP_COPY_NOOVERWRITE the library names the copy the store already holds,
  // and says so with ERROR_FILE_EXISTS. Other failures may leave text in the
  // buffer too (Wine's library does when the source is missing): no INF is staged then.
  if (destination[0] == '\0' || lastError != ERROR_FILE_EXISTS) return 0;
  callback(context, "INF file: %s\n", destination);
  callback(context, "Setup file already installed\n");
  return 1;
}

int UninstallDriverInf(StatusCallback callback) {
  if (callback == nullptr) return 0;
  BoundGroup<BindSetupApi, ReleaseSetupApi> setupApi;  // released here, and so is StageDriverInf's binding
  if (!setupApi) return 0;
  // Windows names the copy oem<N>.inf; a store that keeps the INF's own name
  // (Wine's) is asked for it by that name.
  return RemoveInfFromStore("Zorvane.inf", "zorvane.inf") ? 1 : 0;
}
