// The instruction text of the install and uninstall modes: the file's bytes as
// they are, at most 8191 of them, up to a NUL byte; a file that is missing or
// cannot be read leaves the text area empty and the job runs all the same.
#include <doctest.h>

#include "tests/app/shell_scripts.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"

namespace {
// Lines of 60 characters and a line break: a cut at 8191 falls inside a line.
std::string LongText(size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    char head[16];
    snprintf(head, sizeof head, "%04d ", line);
    text += head + std::string(55, static_cast<char>('a' + line % 26)) + "\r\n";
  }
  return text.substr(0, size);
}
}  // namespace

TEST_CASE("the text area shows the mode's instruction file as it is") {
  enum File { kContent, kMissing, kLocked, kDirectory };
  struct Case {
    const char* name;
    const char* arguments;
    File file;
    std::string content;
    std::string shown;
    const char* job;
  };
  const Case cases[] = {
      {"lines", "-i", kContent, "First line\r\nSecond line\r\n\r\nLast", "First line\r\nSecond line\r\n\r\nLast", "RunInstall"},
      {"unix_lines", "-i", kContent, "one\ntwo\n", "one\ntwo\n", "RunInstall"},
      {"nul_byte", "-i", kContent, std::string("Before\r\nthe NUL\0after it", 24), "Before\r\nthe NUL", "RunInstall"},
      {"empty", "-i", kContent, "", "", "RunInstall"},
      {"exactly_8191", "-i", kContent, LongText(8191), LongText(8191), "RunInstall"},
      {"just_over", "-i", kContent, LongText(8192), LongText(8191), "RunInstall"},
      {"much_longer", "-i", kContent, LongText(20000), LongText(8191), "RunInstall"},
      {"missing", "-i", kMissing, "", "", "RunInstall"},
      {"locked", "-i", kLocked, "Nobody may read this", "", "RunInstall"},
      {"directory", "-i", kDirectory, "", "", "RunInstall"},
      {"uninstall", "-u", kContent, "Removing Halvoran\r\n", "Removing Halvoran\r\n", "RunUninstall"},
      {"uninstall_missing", "-u", kMissing, "", "", "RunUninstall"},
  };
  for (const Case& c : cases) {
    CAPTURE(c.name);
    ProgramRun run(std::string("instruction_") + c.name, ScriptedProgramPath());
    bool install = std::string(c.arguments) == "-i";
    const char* file = install ? kInstallTextFile : kUninstallTextFile;
    // The other mode's file is there too, and must not be the one shown.
    run.Put(install ? kUninstallTextFile : kInstallTextFile, "the other mode's text");
    run.Put(kScriptFile, "wait release\n");
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (c.file == kContent || c.file == kLocked) REQUIRE(run.Put(file, c.content));
    if (c.file == kLocked) {
      lock = CreateFileA(run.PathOf(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      REQUIRE(lock != INVALID_HANDLE_VALUE);
    }
    if (c.file == kDirectory) REQUIRE(CreateDirectoryA(run.PathOf(file).c_str(), nullptr));

    REQUIRE(run.Start(c.arguments));
    HWND dialog = run.WaitForDialog();
    REQUIRE(dialog != nullptr);
    CHECK(ControlText(GetDlgItem(dialog, IDC_INSTRUCTION_TEXT)) == c.shown);
    CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    run.Put("release", "");
    CHECK(run.Wait() == (install ? 1603 : 0));
    CHECK(run.Lines(kCallsFile) == std::vector<std::string>{c.job});  // the job ran all the same
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
  }
}
