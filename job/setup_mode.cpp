#include "job/setup_mode.h"

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

SetupMode DecideSetupMode(const char* arguments, const ModeSwitch* order, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (strstr(arguments, order[i].text)) return order[i].mode;
  return SetupMode::None;
}

SetupMode DialogSetupMode() {
  return DecideSetupMode(CommandLineArguments(GetCommandLineA()), kDialogOrder,
                         sizeof kDialogOrder / sizeof kDialogOrder[0]);
}

SetupMode WorkerSetupMode() {
  return DecideSetupMode(CommandLineArguments(GetCommandLineA()), kWorkerOrder,
                         sizeof kWorkerOrder / sizeof kWorkerOrder[0]);
}
