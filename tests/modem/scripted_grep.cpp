// A scripted text filter for the removal tests: "grep.exe PATTERN", PATTERN a
// basic regular expression. Appends PATTERN to "grep_calls.txt" (one line per
// call), writes the lines of standard input that contain a match, and exits 0
// when some line matched, 1 when none did, 2 on a bad pattern or command line.
#include <stdio.h>
#include <regex>
#include <string>

#include "tests/support/file_bytes.h"

int main(int argc, char** argv) {
  std::string call;
  for (int i = 1; i < argc; ++i) call += (i > 1 ? "\t" : "") + std::string(argv[i]);
  filebytes::AppendLine("grep_calls.txt", call);
  if (argc != 2) return 2;
  std::regex pattern;
  try {
    pattern = std::regex(argv[1], std::regex::basic);
  } catch (const std::regex_error&) {
    return 2;
  }
  std::string input;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, stdin)) > 0) input.append(buf, n);
  bool matched = false;
  for (const std::string& line : filebytes::SplitLines(input)) {
    if (!std::regex_search(line, pattern)) continue;
    matched = true;
    fwrite(line.data(), 1, line.size(), stdout);
    fputc('\n', stdout);
  }
  return matched ? 0 : 1;
}
