#include "app/setup_mode.h"

#include <windows.h>
#include <string.h>

const char* CommandLineArguments(const char* commandLine) {
  const char* p = commandLine;
  bool quoted = false;
  // Neither a quote nor a blank can be the second byte of a double-byte
  // character, so the bytes can be walked as they are.
  for (; *p != '\0'; ++p) {
    if (*p == '"') quoted = !quoted;
    else if (!quoted && (*p == ' ' || *p == '\t')) break;
  }
  return p;
}

SetupMode DialogSetupMode() {
  const char* arguments = CommandLineArguments(GetCommandLineA());
  if (strstr(arguments, "-i")) return SetupMode::Install;
  if (strstr(arguments, "-u")) return SetupMode::Uninstall;
  if (strstr(arguments, "-v")) return SetupMode::Version;
  if (strstr(arguments, "-l")) return SetupMode::Launch;
  return SetupMode::None;
}

SetupMode WorkerSetupMode() {
  const char* arguments = CommandLineArguments(GetCommandLineA());
  if (strstr(arguments, "-i")) return SetupMode::Install;
  if (strstr(arguments, "-u")) return SetupMode::Uninstall;
  if (strstr(arguments, "-l")) return SetupMode::Launch;
  return SetupMode::None;
}
