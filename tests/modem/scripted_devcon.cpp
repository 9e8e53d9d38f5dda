// A scripted device-console tool for the removal tests. Its devices are the
// lines of "devices.txt" in the current directory, one listing line each, the
// instance identifier being the line's first word. Every call is appended to
// "devcon_calls.txt" as one line: the program's file name and its arguments,
// separated by tabs.
//   listclass MODEM   writes every device line
//   remove @ID        removes the device whose identifier is exactly ID and
//                     confirms it with "ID    : Removed" (exit 0); else exit 1
#include <stdio.h>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

int main(int argc, char** argv) {
  const std::string self = filebytes::ModulePath();
  std::string call = self.substr(self.find_last_of('\\') + 1);
  for (int i = 1; i < argc; ++i) call += std::string("\t") + argv[i];
  filebytes::AppendLine("devcon_calls.txt", call);

  std::string listing;
  filebytes::ReadFileBytes("devices.txt", &listing);
  std::vector<std::string> devices = filebytes::SplitLines(listing);
  if (argc == 3 && std::string(argv[1]) == "listclass" && std::string(argv[2]) == "MODEM") {
    for (const std::string& d : devices) {
      fwrite(d.data(), 1, d.size(), stdout);
      fputc('\n', stdout);
    }
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "remove" && argv[2][0] == '@') {
    const std::string id = argv[2] + 1;
    std::vector<std::string> kept;
    bool removed = false;
    for (const std::string& d : devices) {
      // The identifier is the line's first word.
      if (!removed && d.substr(0, d.find_first_of(" \t")) == id) {
        removed = true;
        continue;
      }
      kept.push_back(d);
    }
    if (!removed) {
      printf("No devices were removed.\n");
      return 1;
    }
    filebytes::WriteLines("devices.txt", kept);
    printf("%s    : Removed\n1 device(s) were removed.\n", id.c_str());
    return 0;
  }
  fprintf(stderr, "scripted devcon: unknown command\n");
  return 2;
}
