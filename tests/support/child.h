// Child routines: code that a test runs in a separate process of this same
// executable ("self.exe --child NAME args..."), typically copied into a scratch
// folder beside fake libraries. The routine's result is the process exit code.
#pragma once
#include <stdio.h>

struct ChildEntry {
  ChildEntry(const char* name, int (*run)(int argc, char** argv));
  const char* name;
  int (*run)(int, char**);
  ChildEntry* next;
};

// A routine may ignore its arguments.
#define TEST_CHILD(name)                                                   \
  static int name(int argc, char** argv);                                  \
  static ChildEntry name##_entry(#name, &name);                            \
  static int name([[maybe_unused]] int argc, [[maybe_unused]] char** argv)

// Checks inside a child routine, which runs outside the test framework: a
// failed check is printed, counted, and the routine returns the count.
inline int& ChildFailures() {
  static int failures = 0;
  return failures;
}
#define CHILD_EXPECT(condition)                                               \
  do {                                                                        \
    if (!(condition)) {                                                       \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      ++ChildFailures();                                                      \
    }                                                                         \
  } while (0)
