// The success marker "tmp.txt" and the exit code: the marker appears (empty,
// truncating an older one) only when the install job reports success; every
// other outcome leaves an older marker exactly as it was.
#include <doctest.h>

#include "job/job_outcome.h"
#include "tests/app/shell_scripts.h"
#include "tests/support/window_driver.h"

namespace {

constexpr const char kOldMarker[] = "left by an earlier run";

// An old marker with a known content and write time, so that a rewrite shows.
void PutOldMarker(const ProgramRun& run) {
  REQUIRE(run.Put("tmp.txt", kOldMarker));
  HANDLE file = CreateFileA(run.PathOf("tmp.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  REQUIRE(file != INVALID_HANDLE_VALUE);
  SYSTEMTIME old = {2001, 1, 1, 1, 12, 0, 0, 0};
  FILETIME time;
  SystemTimeToFileTime(&old, &time);
  SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
}

bool MarkerUntouched(const ProgramRun& run) {
  std::string content;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!run.Read("tmp.txt", &content) ||
      !GetFileAttributesExA(run.PathOf("tmp.txt").c_str(), GetFileExInfoStandard, &data))
    return false;
  SYSTEMTIME written;
  FileTimeToSystemTime(&data.ftLastWriteTime, &written);
  return content == kOldMarker && written.wYear == 2001;
}

}  // namespace

TEST_CASE("the marker is made only by a successful install, and the exit code follows it") {
  enum Marker { kAbsent, kEmpty, kUntouched };
  struct Case {
    const char* name;
    const char* arguments;
    const char* script;
    bool oldMarker;
    Marker after;
    long exitCode;
  };
  const Case cases[] = {
      {"install_ok", "-i", "result 1\n", false, kEmpty, 0},
      {"install_ok_truncates", "-i", "result 1\n", true, kEmpty, 0},
      {"install_other_nonzero", "-i", "result 7\n", true, kEmpty, 0},
      {"install_failed", "-i", "result 0\n", false, kAbsent, 1603},
      {"install_failed_keeps_old", "-i", "result 0\n", true, kUntouched, 1603},
      {"install_declined", "-i", "decline\nresult 0\n", true, kUntouched, 1602},
      {"uninstall_ok", "-u", "result 1\n", true, kUntouched, 0},
      {"uninstall_failed", "-u", "result 0\n", false, kAbsent, 0},
      {"launch_ok", "-l", "result 1\n", true, kUntouched, 0},
      {"launch_failed", "-l", "result 0\n", false, kAbsent, 0},
      {"no_switch", "", "result 1\n", true, kUntouched, 0},
      {"version", "-v", "result 1\n", true, kUntouched, 0},
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    CAPTURE(name);
    ProgramRun run(std::string("marker_") + c.name, ScriptedProgramPath());
    PrepareScriptedRun(run, c.script);
    if (c.oldMarker) PutOldMarker(run);
    REQUIRE(StartPastBuildBox(run, c.arguments));
    CHECK(run.Wait() == c.exitCode);
    std::string content;
    switch (c.after) {
      case kAbsent: CHECK_FALSE(run.Has("tmp.txt")); break;
      case kEmpty: CHECK((run.Read("tmp.txt", &content) && content.empty())); break;
      case kUntouched: CHECK(MarkerUntouched(run)); break;
    }
  }
}

TEST_CASE("an install's exit code: 0 when it completed, else 1602 once the user declined, 1603 before") {
  struct Case { bool declined; int result; int exitCode; };
  // The user's refusal lasts for the process: the rows without it come first.
  const Case cases[] = {{false, 1, 0}, {false, 7, 0}, {false, 0, 1603}, {true, 0, 1602}, {true, 1, 0}};
  for (const Case& c : cases) {
    CAPTURE(c.declined);
    CAPTURE(c.result);
    if (c.declined) RecordUserCancel();
    CHECK(InstallExitCode(c.result) == c.exitCode);
  }
}
