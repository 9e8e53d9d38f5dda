#include "job/setup_mode.h"

#include <windows.h>
#include <string.h>
#include <wchar.h>

#include "platform/ansi_text.h"
#include "platform/bounded_string.h"

namespace {

// true when text begins with the characters of prefix, compared without regard
// to case. Both are read as characters of the ANSI code page, so a second byte
// of a double-byte character is never taken for a letter.
bool BeginsWithIgnoringCase(const char* text, const char* prefix) {
  const size_t length = strlen(prefix);
  char head[MAX_PATH];
  if (length == 0 || length >= sizeof head) return false;
  CopyBounded(head, length + 1, text);  // at most the prefix's length
  wchar_t wideHead[MAX_PATH];
  wchar_t widePrefix[MAX_PATH];
  if (strlen(head) != length || !AnsiToWide(head, wideHead, MAX_PATH) ||
      !AnsiToWide(prefix, widePrefix, MAX_PATH))
    return false;
  const size_t count = wcslen(widePrefix);
  if (wcslen(wideHead) != count) return false;
  CharUpperBuffW(wideHead, static_cast<DWORD>(count));
  CharUpperBuffW(widePrefix, static_cast<DWORD>(count));
  return wmemcmp(wideHead, widePrefix, count) == 0;
}

// What follows programPath at the start of the line, quoted or not; null when
// the line does not begin with it.
const char* AfterProgramPath(const char* commandLine, const char* programPath) {
  if (commandLine[0] == '"' && BeginsWithIgnoringCase(commandLine + 1, programPath) &&
      commandLine[1 + strlen(programPath)] == '"')
    return commandLine + 1 + strlen(programPath) + 1;
  if (BeginsWithIgnoringCase(commandLine, programPath)) return commandLine + strlen(programPath);
  return nullptr;
}

// This program's file, or "" when the system cannot name it in MAX_PATH bytes.
void GetProgramPath(char (&path)[MAX_PATH]) {
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) path[0] = '\0';
}

}  // namespace

const char* CommandLineArguments(const char* commandLine, const char* programPath) {
  if (const char* rest = AfterProgramPath(commandLine, programPath)) return rest;
  // Started with the arguments alone (CreateProcess(program, "-i")).
  if (commandLine[0] == '-' || commandLine[0] == '/') return commandLine;
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

namespace {

SetupMode DecideFromCommandLine(const ModeSwitch* order, size_t count) {
  char programPath[MAX_PATH];
  GetProgramPath(programPath);
  return DecideSetupMode(CommandLineArguments(GetCommandLineA(), programPath), order, count);
}

}  // namespace

SetupMode DialogSetupMode() {
  return DecideFromCommandLine(kDialogOrder, sizeof kDialogOrder / sizeof kDialogOrder[0]);
}

SetupMode WorkerSetupMode() {
  return DecideFromCommandLine(kWorkerOrder, sizeof kWorkerOrder / sizeof kWorkerOrder[0]);
}
