#include "tools/cpl64/command_line.h"

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string AppletPathFromCommandLine(const char* commandLine) {
  const char* p = commandLine ? commandLine : "";
  // The program name: quoted up to the closing quote, else up to the first blank.
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && !IsBlank(*p)) ++p;
  }
  while (IsBlank(*p)) ++p;

  std::string path = p;
  while (!path.empty() && IsBlank(path.back())) path.pop_back();
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  return path;
}
