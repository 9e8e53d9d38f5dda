// The instruction text of the install and uninstall modes: the file's bytes as
// they are, at most 8191 of them, up to a NUL byte; a file that is missing or
// cannot be read leaves the text area empty and the job runs all the same.
#include <doctest.h>

#include "framework/wnd.h"
#include "tests/app/shell_scripts.h"
#include "tests/support/scratch.h"
#include "tests/support/window_driver.h"
#include "ui/instruction_text.h"
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

TEST_CASE("the text area shows the instruction file's bytes as they are, at most 8191, up to a NUL") {
  enum File { kContent, kMissing, kLocked, kDirectory };
  struct Case {
    const char* name;
    File file;
    std::string content;
    std::string shown;
  };
  const Case cases[] = {
      {"lines", kContent, "First line\r\nSecond line\r\n\r\nLast", "First line\r\nSecond line\r\n\r\nLast"},
      {"unix_lines", kContent, "one\ntwo\n", "one\ntwo\n"},
      {"nul_byte", kContent, std::string("Before\r\nthe NUL\0after it", 24), "Before\r\nthe NUL"},
      {"empty", kContent, "", ""},
      {"exactly_8191", kContent, LongText(8191), LongText(8191)},
      {"just_over", kContent, LongText(8192), LongText(8191)},
      {"much_longer", kContent, LongText(20000), LongText(8191)},
      {"missing", kMissing, "", ""},
      {"locked", kLocked, "Nobody may read this", ""},
      {"directory", kDirectory, "", ""},
  };
  // The text area as the dialog has it: a read-only multi-line edit control,
  // holding an earlier text that a missing file must clear.
  HWND edit = CreateWindowExA(0, "EDIT", "", ES_MULTILINE | ES_READONLY, 0, 0, 100, 100, nullptr,
                              nullptr, nullptr, nullptr);
  REQUIRE(edit != nullptr);
  CWnd textArea;
  textArea.m_hWnd = edit;
  const std::string dir = MakeScratchDir("instruction_texts");
  for (const Case& c : cases) {
    std::string name = c.name;
    CAPTURE(name);
    const std::string file = JoinPath(dir, c.name);
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (c.file == kContent || c.file == kLocked) REQUIRE(WriteWholeFile(file, c.content));
    if (c.file == kLocked) {
      lock = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      REQUIRE(lock != INVALID_HANDLE_VALUE);
    }
    if (c.file == kDirectory) REQUIRE(CreateDirectoryA(file.c_str(), nullptr));
    SetWindowTextA(edit, "an earlier text");

    ShowInstructionFile(&textArea, file.c_str());
    CHECK(ControlText(edit) == c.shown);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
  }
  textArea.m_hWnd = nullptr;
  DestroyWindow(edit);
}

TEST_CASE("the dialog shows the file of its mode, and the job runs even when the file is missing") {
  struct Case { const char* name; const char* arguments; bool present; const char* job; };
  const Case cases[] = {
      {"install", "-i", true, "RunInstall"},
      {"uninstall", "-u", true, "RunUninstall"},
      {"install_missing", "-i", false, "RunInstall"},
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    CAPTURE(name);
    ProgramRun run(std::string("instruction_") + c.name, ScriptedProgramPath());
    const bool install = std::string(c.arguments) == "-i";
    // The other mode's file is there too, and must not be the one shown.
    run.Put(install ? kUninstallTextFile : kInstallTextFile, "the other mode's text");
    if (c.present) REQUIRE(run.Put(install ? kInstallTextFile : kUninstallTextFile, "Mode text\r\n"));
    run.Put(kScriptFile, "wait release\n");

    REQUIRE(run.Start(c.arguments));
    HWND dialog = run.WaitForDialog();
    REQUIRE(dialog != nullptr);
    CHECK(ControlText(GetDlgItem(dialog, IDC_INSTRUCTION_TEXT)) == (c.present ? "Mode text\r\n" : ""));
    CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    run.Put("release", "");
    CHECK(run.Wait() == (install ? 1603 : 0));
    CHECK(run.Lines(kCallsFile) == std::vector<std::string>{c.job});  // the job ran all the same
  }
}
