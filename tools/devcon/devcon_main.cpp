// The device console: the two commands of the product's device clean-up.
//
//   devcon listclass <class>        the present devices of a set-up class
//   devcon remove @<instance id>    removes that device
//
// Exit codes: 0 done, 1 done but a restart is needed, 2 failure, 3 usage.
// Output is one line per device, "<instance id><blanks>: <text>", so that a
// filter can pick out the lines it wants.
#include "tools/devcon/list_class.h"
#include "tools/devcon/remove_device.h"

#include <stdio.h>
#include <string.h>

// Identifiers and class names arrive as typed: no wildcard expansion.
int _dowildcard = 0;

namespace {

int Usage(const char* problem) {
  fprintf(stderr,
          "devcon: %s\n"
          "usage: devcon listclass <class>\n"
          "       devcon remove @<instance id>\n",
          problem);
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const char* command = argv[1];
  if (_stricmp(command, "listclass") == 0) {
    if (argc != 3 || argv[2][0] == '\0') return Usage("listclass takes one class name");
    return ListClass(argv[2]);
  }
  if (_stricmp(command, "remove") == 0) {
    if (argc != 3 || argv[2][0] != '@' || argv[2][1] == '\0')
      return Usage("remove takes one @<instance id>");
    return RemoveDevice(argv[2] + 1);
  }
  return Usage("unknown command");
}
