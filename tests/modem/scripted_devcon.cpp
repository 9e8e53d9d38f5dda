// A scripted device-console tool for the removal tests. Its devices are the
// lines of "devices.txt" in the current directory, one listing line each, the
// instance identifier being the line's first word. Every call is appended to
// "devcon_calls.txt" as one line: the program's file name and its arguments,
// separated by tabs.
//   listclass MODEM   writes every device line
//   remove @ID        removes the device whose identifier is exactly ID and
//                     confirms it with "ID    : Removed" (exit 0); else exit 1
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadLines(const char* name) {
  std::vector<std::string> lines;
  FILE* f = fopen(name, "rb");
  if (!f) return lines;
  std::string all;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) all.append(buf, n);
  fclose(f);
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

std::string FirstWord(const std::string& line) {
  size_t end = line.find_first_of(" \t");
  return line.substr(0, end);
}

}  // namespace

int main(int argc, char** argv) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string call = strrchr(self, '\\') ? strrchr(self, '\\') + 1 : self;
  for (int i = 1; i < argc; ++i) call += std::string("\t") + argv[i];
  if (FILE* log = fopen("devcon_calls.txt", "ab")) {
    fprintf(log, "%s\n", call.c_str());
    fclose(log);
  }

  std::vector<std::string> devices = ReadLines("devices.txt");
  if (argc == 3 && std::string(argv[1]) == "listclass" && std::string(argv[2]) == "MODEM") {
    for (const std::string& d : devices) {
      fwrite(d.data(), 1, d.size(), stdout);
      fputc('\n', stdout);
    }
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "remove" && argv[2][0] == '@') {
    std::string id = argv[2] + 1;
    for (size_t i = 0; i < devices.size(); ++i) {
      if (FirstWord(devices[i]) != id) continue;
      devices.erase(devices.begin() + static_cast<long>(i));
      FILE* f = fopen("devices.txt", "wb");
      for (const std::string& d : devices) {
        fwrite(d.data(), 1, d.size(), f);
        fputc('\n', f);
      }
      fclose(f);
      printf("%s    : Removed\n1 device(s) were removed.\n", id.c_str());
      return 0;
    }
    printf("No devices were removed.\n");
    return 1;
  }
  fprintf(stderr, "scripted devcon: unknown command\n");
  return 2;
}
