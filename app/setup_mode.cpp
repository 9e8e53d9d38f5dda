#include "app/setup_mode.h"

#include <windows.h>
#include <string.h>

SetupMode DialogSetupMode() {
  const char* line = GetCommandLineA();
  if (strstr(line, "-i")) return SetupMode::Install;
  if (strstr(line, "-u")) return SetupMode::Uninstall;
  if (strstr(line, "-v")) return SetupMode::Version;
  if (strstr(line, "-l")) return SetupMode::Launch;
  return SetupMode::None;
}

SetupMode WorkerSetupMode() {
  const char* line = GetCommandLineA();
  if (strstr(line, "-i")) return SetupMode::Install;
  if (strstr(line, "-u")) return SetupMode::Uninstall;
  if (strstr(line, "-l")) return SetupMode::Launch;
  return SetupMode::None;
}
