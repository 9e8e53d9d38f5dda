// grep PATTERN: copies the lines of standard input that match PATTERN, a POSIX
// basic regular expression, to standard output, each with its line end as it
// came ("\r\n", "\n" or none on a last line). Lines may be of any length.
// Exit status: 0 some line matched, 1 none did, 2 error (usage, bad pattern,
// read or write failure).
#include "tools/grep/line_pattern.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string>

// The pattern arrives as typed: no wildcard expansion of the arguments.
int _dowildcard = 0;

namespace {

constexpr int kMatched = 0, kNoMatch = 1, kError = 2;

int Fail(const char* what, const std::string& detail) {
  fprintf(stderr, "grep: %s%s\n", what, detail.c_str());
  return kError;
}

// The line's text for matching: without "\n" and without the "\r" before it.
std::string LineText(const std::string& buffer, size_t begin, size_t end) {
  size_t textEnd = end;
  if (textEnd > begin && buffer[textEnd - 1] == '\n') --textEnd;
  if (textEnd > begin && buffer[textEnd - 1] == '\r') --textEnd;
  return buffer.substr(begin, textEnd - begin);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Fail("usage: grep PATTERN", "");
  LinePattern pattern;
  std::string error;
  if (!pattern.Compile(argv[1], &error)) return Fail("bad pattern: ", error);

  // Bytes in, bytes out: no text-mode translation of line ends either way.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);

  bool matched = false;
  std::string buffer;   // unfinished data; complete lines are cut off its front
  size_t scanned = 0;   // bytes of buffer already known to hold no "\n"
  char chunk[65536];
  for (;;) {
    size_t got = fread(chunk, 1, sizeof chunk, stdin);
    if (got == 0 && ferror(stdin)) return Fail("cannot read standard input", "");
    bool atEnd = got == 0;
    buffer.append(chunk, got);

    size_t begin = 0;
    for (;;) {
      size_t newline = buffer.find('\n', scanned);
      size_t end;
      if (newline != std::string::npos) {
        end = newline + 1;
      } else if (atEnd && begin < buffer.size()) {
        end = buffer.size();  // a last line without a line end
      } else {
        break;
      }
      if (pattern.Matches(LineText(buffer, begin, end))) {
        matched = true;
        if (fwrite(buffer.data() + begin, 1, end - begin, stdout) != end - begin)
          return Fail("cannot write standard output", "");
      }
      begin = scanned = end;
    }
    buffer.erase(0, begin);
    scanned = buffer.size();
    if (atEnd) break;
  }
  if (fflush(stdout) != 0) return Fail("cannot write standard output", "");
  return matched ? kMatched : kNoMatch;
}
