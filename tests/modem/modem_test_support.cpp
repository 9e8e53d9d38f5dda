#include "tests/modem/modem_test_support.h"

#include <stdarg.h>
#include <stdio.h>

#include "tests/support/process.h"
#include "tests/support/scratch.h"

#include <doctest.h>

std::vector<std::string> g_statusLines;
std::vector<void*> g_statusContexts;

int __cdecl RecordStatus(void* context, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  g_statusLines.push_back(line);
  g_statusContexts.push_back(context);
  return 1;
}

void ClearStatus() {
  g_statusLines.clear();
  g_statusContexts.clear();
}

std::string JoinedStatus() {
  std::string all;
  for (const std::string& line : g_statusLines) all += line;
  return all;
}

bool SaveStatus(const char* path) { return WriteWholeFile(path, JoinedStatus()); }

std::string HelperDir() { return JoinPath(SelfDir(), "bin"); }

long RunChildIn(const std::string& dir, const std::string& name, const std::string& args,
                bool copySelf, DWORD timeoutMs) {
  std::string program = SelfPath();
  if (copySelf) {
    std::string copy = JoinPath(dir, "modem_child.exe");
    if (!CopyFileTo(program, copy)) return -2;
    program = copy;
  }
  std::string line = "\"" + program + "\" --child " + name;
  if (!args.empty()) line += " " + args;
  return RunProcess(line, dir, timeoutMs);
}

std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string all;
  if (!ReadWholeFile(path, &all)) return lines;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

SystemFile::SystemFile(const char* name, const char* helper) {
  char dir[MAX_PATH] = {};
  GetSystemDirectoryA(dir, sizeof dir);
  path_ = JoinPath(dir, name);
  DeleteFileA(path_.c_str());
  if (helper) REQUIRE(CopyFileTo(JoinPath(HelperDir(), helper), path_));
}

SystemFile::~SystemFile() { DeleteFileA(path_.c_str()); }
