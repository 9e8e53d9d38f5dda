// box_driver.exe: starts a program and answers its message boxes, for runs
// where no test executable of the program's own kind drives it (the i686
// program on 32-bit Windows is driven from the shell).
//   box_driver.exe CAPTION ANSWERS PROGRAM.exe [ARGUMENTS]
// ANSWERS: one letter per box, in order, o (OK) or c (Cancel); "-" for none.
// Writes "box <text>" for each box seen, then "exit <code>", to standard
// output, and exits 0 (2 on bad arguments or when the program did not start).
#include <windows.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/window_driver.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: box_driver CAPTION ANSWERS PROGRAM.exe [ARGUMENTS]\n");
    return 2;
  }
  std::vector<int> answers;
  for (const char* a = argv[2]; *a; ++a)
    if (*a == 'o' || *a == 'c') answers.push_back(*a == 'o' ? IDOK : IDCANCEL);
  std::string line = std::string("\"") + argv[3] + "\"";
  for (int i = 4; i < argc; ++i) line += std::string(" ") + argv[i];

  ChildProcess program;
  if (!program.Start(line, "")) return 2;
  BoxAnswerer answerer(argv[1], answers, program.Id());
  long code = program.Wait(120000);
  answerer.Stop();
  for (const SeenBox& box : answerer.Seen()) printf("box %s\n", box.text.c_str());
  printf("exit %ld\n", code);
  return 0;
}
