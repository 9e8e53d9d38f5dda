#include "tests/tools/tool_run.h"

#include "tests/support/child.h"

#include <stdlib.h>

bool EndsLinesWithCrLf(const std::string& text) {
  if (!text.empty() && text.back() != '\n') return false;
  for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', lf + 1))
    if (lf == 0 || text[lf - 1] != '\r') return false;
  return true;
}

ToolRun RunTool(const std::string& program, const std::string& arguments, const std::string& dir,
                const std::string& input, DWORD timeoutMs) {
  std::string in = JoinPath(dir, "tool_in.txt"), out = JoinPath(dir, "tool_out.txt"),
              err = JoinPath(dir, "tool_err.txt");
  WriteWholeFile(in, input);
  ToolRun run;
  std::string line = QuoteArgument(program);
  if (!arguments.empty()) line += " " + arguments;
  run.exitCode = RunProcessWithFiles(line, dir, in, out, err, timeoutMs);
  ReadWholeFile(out, &run.out);
  ReadWholeFile(err, &run.err);
  DeleteFileA(in.c_str());
  DeleteFileA(out.c_str());
  DeleteFileA(err.c_str());
  return run;
}

TEST_CHILD(run_through_system) {
  if (argc != 1) return 98;
  return system(argv[0]);
}

long RunThroughSystem(const std::string& command, const std::string& dir, DWORD timeoutMs) {
  ChildProcess child;
  if (!child.Start(ChildCommandLine("run_through_system", QuoteArgument(command)), dir)) return -1;
  return child.Wait(timeoutMs);
}
