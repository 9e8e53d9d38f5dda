// Test entry point. "--child NAME args..." runs a registered child routine
// instead of the tests: tests start their own executable that way when a case
// needs a process of its own (a different folder, different libraries beside it).
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include "tests/support/child.h"

#include <string.h>

namespace {
ChildEntry* g_children = nullptr;
}

ChildEntry::ChildEntry(const char* childName, int (*childRun)(int, char**))
    : name(childName), run(childRun), next(g_children) {
  g_children = this;
}

int main(int argc, char** argv) {
  if (argc >= 3 && strcmp(argv[1], "--child") == 0) {
    for (ChildEntry* c = g_children; c; c = c->next)
      if (strcmp(c->name, argv[2]) == 0) return c->run(argc - 3, argv + 3);
    return 97;  // no such child
  }
  doctest::Context context(argc, argv);
  return context.run();
}
