// Helpers shared by the companion-program tests.
#pragma once
#include "tests/support/process.h"

#include <string>
#include <vector>

// True when every line of text ends with CRLF, the last one too, as the
// companion programs write their output.
bool EndsLinesWithCrLf(const std::string& text);

// What a program wrote and how it ended.
struct ToolRun {
  long exitCode = -1;
  std::string out;
  std::string err;
};

// Runs "<program> <arguments>" (arguments already quoted as needed) in dir with
// input as its standard input.
ToolRun RunTool(const std::string& program, const std::string& arguments, const std::string& dir,
                const std::string& input = std::string(), DWORD timeoutMs = 30000);

// Runs command through the C runtime's system() in dir, as the product does
// (the command interpreter with its pipes and redirections), in a child process
// of this test so that a time-out can end it. Returns system()'s result.
long RunThroughSystem(const std::string& command, const std::string& dir, DWORD timeoutMs = 60000);
