// Helpers shared by the end-to-end tests of the setup shell: the texts that
// the scripted runs put beside the program, and small checks of what a run left.
#pragma once
#include <doctest.h>

#include <string>
#include <vector>

#include "tests/support/program_run.h"

// Lists of lines print one per line when a check on them fails.
namespace doctest {
template <> struct StringMaker<std::vector<std::string>> {
  static String convert(const std::vector<std::string>& lines) {
    std::string out = "{";
    for (const std::string& line : lines) out += "\n  " + line;
    return (out + "}").c_str();
  }
};
}  // namespace doctest

constexpr const char kInstallTextFile[] = "ModemInstallWinAppText.txt";
constexpr const char kUninstallTextFile[] = "ModemUninstallWinAppText.txt";
constexpr const char kScriptFile[] = "scripted_sequences.txt";
constexpr const char kCallsFile[] = "sequence_calls.txt";
constexpr const char kSeenFile[] = "status_seen.txt";
constexpr const char kLaunchCaption[] = "Launching Zorvane Halvoran";

// A run of the scripted program with a script and both instruction texts.
inline void PrepareScriptedRun(const ProgramRun& run, const std::string& script) {
  run.Put(kInstallTextFile, "Install text\r\nsecond line");
  run.Put(kUninstallTextFile, "Uninstall text");
  run.Put(kScriptFile, script);
}

// Starts the run; with -v among the arguments, answers with OK the build box
// that the program shows first. False when it did not start or no box came.
inline bool StartPastBuildBox(ProgramRun& run, const std::string& arguments) {
  if (!run.Start(arguments)) return false;
  if (arguments.find("-v") == std::string::npos) return true;
  HWND box = run.WaitForBox();
  return box != nullptr && PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// True when no part of the test folder's own path holds a mode switch (the
// program would take it for one, since it looks at its whole command line).
inline bool PathHasNoSwitch(const std::string& path) {
  for (const char* s : {"-i", "-u", "-v", "-l"})
    if (path.find(s) != std::string::npos) return false;
  return true;
}
