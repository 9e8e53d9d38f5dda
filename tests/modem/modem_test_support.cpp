#include "tests/modem/modem_test_support.h"

#include "tests/support/process.h"

bool SaveStatus(const char* path) {
  std::string all;
  for (const std::string& line : g_statusLines) all += line;
  return WriteWholeFile(path, all);
}

long RunChildIn(const std::string& dir, const std::string& name, const std::string& args,
                bool copySelf, DWORD timeoutMs) {
  std::string program = SelfPath();
  if (copySelf) {
    std::string copy = JoinPath(dir, "modem_child.exe");
    if (!CopyFileTo(program, copy)) return -2;
    program = copy;
  }
  return RunChild(dir, name, args, program, timeoutMs);
}
