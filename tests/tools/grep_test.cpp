// grep.exe: the filter that picks device lines out of the device console's output.
#include <doctest.h>

#include "tests/support/scratch.h"
#include "tests/tools/tool_run.h"
#include "tools/grep/line_pattern.h"

namespace {

ToolRun Grep(const std::string& pattern, const std::string& input, DWORD timeoutMs = 30000) {
  return RunTool(BinPath("grep.exe"), QuoteArgument(pattern), MakeScratchDir("grep"), input,
                 timeoutMs);
}

}  // namespace

TEST_CASE("the pattern: a basic regular expression found anywhere in the line") {
  struct Case {
    const char* what;
    std::string pattern;
    std::vector<std::string> matching;
    std::vector<std::string> other;
  };
  const Case cases[] = {
      {"brand word picks device lines, not the header", "Zorvane",
       {"ROOT\\MODEM\\0000 : Zorvane PPP Data Modem", "ROOT\\MODEM\\0002 : Zorvane PPP Data Modem #2"},
       {"3 present device(s) of set-up class MODEM:", "ROOT\\MODEM\\0001 : Other Brand Modem",
        "Zorvan", "zorvane", ""}},
      {"escaped identifier, padding blanks and Removed", R"(ROOT\\MODEM\\0000 *: Removed)",
       {"ROOT\\MODEM\\0000           : Removed", "ROOT\\MODEM\\0000: Removed"},
       {"ROOT\\MODEM\\0000 : Not removed (no such device)", "ROOT\\MODEM\\00001 : Removed"}},
      {"an unescaped backslash makes the next character literal", R"(ROOT\MODEM\0000 *: Removed)",
       {"ROOTMODEM0000 : Removed"}, {"ROOT\\MODEM\\0000 : Removed"}},
      {"identifier with every special character escaped",
       R"(PCI\\VEN_1&DEV_2\\3&A\.B\*C\[1\]\^\$ *: Removed)",
       {"PCI\\VEN_1&DEV_2\\3&A.B*C[1]^$ : Removed"},
       {"PCI\\VEN_1&DEV_2\\3&AxB*C[1]^$ : Removed", "PCI\\VEN_1&DEV_2\\3&A.BBC[1]^$ : Removed"}},
      {"dot, star and both anchors", "^ab*.c$", {"axc", "abbbyc"}, {"xaxc", "axcx", "ac"}},
      {"bracket expressions, ranges and negation", "[0-9][0-9]*: [^Z]", {"A12: x"},
       {"A: x", "B3: Zed"}},
      {"a closing bracket first in a bracket expression", "[]x]", {"a]b", "x"}, {"abc"}},
      {"bytes past a NUL are searched", "abc", {std::string("x\0abc", 5)}, {"xyz"}},
  };
  for (const Case& c : cases) {
    CAPTURE(c.what);
    LinePattern pattern;
    std::string error;
    REQUIRE(pattern.Compile(c.pattern, &error));
    for (const std::string& line : c.matching) CHECK_MESSAGE(pattern.Matches(line), line);
    for (const std::string& line : c.other) CHECK_MESSAGE(!pattern.Matches(line), line);
  }
}

TEST_CASE("the pattern: what the grammar rejects, and back-references, do not compile") {
  for (const char* text : {"[", "[a", "\\", "\\(a", "a\\)", "a\\{1", "\\(a\\)\\1", "*a"}) {
    const std::string shown = text;
    CAPTURE(shown);
    LinePattern pattern;
    std::string error;
    CHECK_FALSE(pattern.Compile(text, &error));
    CHECK_FALSE(error.empty());
  }
}

TEST_CASE("grep writes exactly the matching lines, each as it came, and says whether any did") {
  struct Case {
    const char* what;
    std::string pattern;
    std::string input;
    std::string selected;
  };
  const Case cases[] = {
      {"device lines with their CRLF", "Zorvane",
       "3 present device(s) of set-up class MODEM:\r\n"
       "ROOT\\MODEM\\0000 : Zorvane PPP Data Modem\r\n"
       "ROOT\\MODEM\\0001 : Other Brand Modem\r\n"
       "ROOT\\MODEM\\0002 : Zorvane PPP Data Modem #2\r\n",
       "ROOT\\MODEM\\0000 : Zorvane PPP Data Modem\r\n"
       "ROOT\\MODEM\\0002 : Zorvane PPP Data Modem #2\r\n"},
      {"anchored end before a CRLF line end", "Modem$", "Zorvane Modem\r\nModem x\r\nModem\n",
       "Zorvane Modem\r\nModem\n"},
      {"empty lines, with and without CR", "^$", "a\n\r\n\nb\n", "\r\n\n"},
      {"a last line without a line end stays without one", "end", "start\nthe end", "the end"},
      {"bytes past a NUL are still searched and written", "abc", std::string("x\0abc\nxyz\n", 10),
       std::string("x\0abc\n", 6)},
      {"no input", "Zorvane", "", ""},
      {"no line matches", "Zorvane", "nothing here\r\nZorvan\nzorvane\n", ""},
  };
  for (const Case& c : cases) {
    CAPTURE(c.what);
    ToolRun run = Grep(c.pattern, c.input);
    CHECK(run.out == c.selected);
    CHECK(run.exitCode == (c.selected.empty() ? 1 : 0));
  }
}

TEST_CASE("grep refuses a bad pattern and wrong arguments with exit 2 before reading") {
  std::string dir = MakeScratchDir("grep");
  const char* argumentLists[] = {"\"\\(a\"", "\"\\(a\\)\\1\"", "", "Zorvane extra"};
  for (const char* arguments : argumentLists) {
    const std::string shown = arguments;
    CAPTURE(shown);
    ToolRun run = RunTool(BinPath("grep.exe"), arguments, dir, "a\n(a\nZorvane\n");
    CHECK(run.exitCode == 2);
    CHECK(run.out.empty());
    CHECK(run.err.find("grep: ") != std::string::npos);
  }
}

TEST_CASE("grep handles lines of hundreds of kilobytes in linear time") {
  const std::string longMatch = std::string(150000, 'x') + " : Zorvane PPP Data Modem\r\n";
  const std::string longOther = std::string(120000, 'y') + "\n";
  const std::string input = "short\n" + longMatch + longOther + "tail Zorvane";
  ToolRun run = Grep("Zorvane", input);
  CHECK(run.exitCode == 0);
  CHECK(run.out == longMatch + "tail Zorvane");

  // A CR and its LF on both sides of the reader's 64 KiB chunk boundary.
  const std::string split = std::string(65534, 'b') + "a\r\n" + "next\n";
  run = Grep("a$", split);
  CHECK(run.exitCode == 0);
  CHECK(run.out == std::string(65534, 'b') + "a\r\n");

  // Patterns whose naive search restarts at every position would take hours on
  // these lines; the time-out makes that a failure.
  const std::string many = std::string(200000, 'x') + "\n";
  const char* slowPatterns[] = {".*Q", "x*Q", "x*x*x*Q"};
  for (const char* pattern : slowPatterns) {
    const std::string shown = pattern;
    CAPTURE(shown);
    run = Grep(pattern, many + many, 20000);
    CHECK(run.exitCode == 1);
    CHECK(run.out.empty());
  }
}

TEST_CASE("grep reports a read or write failure with exit 2") {
  std::string dir = MakeScratchDir("grep_io");
  std::string data = JoinPath(dir, "data.txt");
  REQUIRE(WriteWholeFile(data, "Zorvane\n"));
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  struct Case {
    const char* what;
    DWORD inputAccess;
    DWORD outputAccess;
  };
  const Case cases[] = {
      {"standard input that cannot be read", GENERIC_WRITE, GENERIC_WRITE},
      {"standard output that cannot be written", GENERIC_READ, GENERIC_READ},
  };
  for (const Case& c : cases) {
    const std::string what = c.what;
    CAPTURE(what);
    HANDLE in = CreateFileA(data.c_str(), c.inputAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                            OPEN_EXISTING, 0, nullptr);
    HANDLE out = CreateFileA(data.c_str(), c.outputAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, nullptr);
    REQUIRE(in != INVALID_HANDLE_VALUE);
    REQUIRE(out != INVALID_HANDLE_VALUE);
    ChildProcess grep;
    REQUIRE(grep.StartWithStdHandles(QuoteArgument(BinPath("grep.exe")) + " Zorvane", dir, in, out,
                                     nullptr));
    CloseHandle(in);
    CloseHandle(out);
    CHECK(grep.Wait(30000) == 2);
  }
}
