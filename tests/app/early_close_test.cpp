// The user may end the dialog (Escape, the close box) while the job still
// runs; an IDOK command that reaches it some other way (the Close button
// stays disabled) ends it too. The process then ends at once, before the
// dialog object goes, so the worker never reads a destroyed object; an
// install that did not finish counts as cancelled by the user: it ends with
// 1602 and leaves no marker. An install that had already failed, or never
// started, was not cancelled: 1603.
#include <doctest.h>

#include "tests/app/shell_scripts.h"
#include "tests/support/process.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"

TEST_CASE("Escape, the close box and IDOK end the dialog while the job runs, in every mode") {
  enum Way { kEscape, kCloseBox, kOkCommand };
  struct Case {
    const char* arguments;
    Way way;
    const char* job;
    long exitCode;
  };
  const Case cases[] = {
      {"-i", kEscape, "RunInstall", 1602},   {"-i", kCloseBox, "RunInstall", 1602},
      {"-u", kEscape, "RunUninstall", 0},    {"-u", kCloseBox, "RunUninstall", 0},
      {"-l", kEscape, "RunLaunch", 0},       {"-l", kCloseBox, "RunLaunch", 0},
      {"-v -l", kEscape, "RunLaunch", 0},    {"-i", kOkCommand, "RunInstall", 1602},
      {"-u", kOkCommand, "RunUninstall", 0},
  };
  int index = 0;
  for (const Case& c : cases) {
    std::string arguments = c.arguments;
    CAPTURE(arguments);
    CAPTURE(c.way);
    ProgramRun run("early_close_" + std::to_string(index++), ScriptedProgramPath());
    // The job would succeed, but only after "release", which never comes.
    PrepareScriptedRun(run, "line Working\\r\\n\nwait release\nresult 1\n");
    REQUIRE(StartPastBuildBox(run, c.arguments));
    HWND dialog = run.WaitForDialog();
    REQUIRE(dialog != nullptr);
    for (int i = 0; i < 500 && ControlText(GetDlgItem(dialog, IDC_STATUS_TEXT)) != "Working\r\n"; ++i) Sleep(20);
    CHECK(ControlText(GetDlgItem(dialog, IDC_STATUS_TEXT)) == "Working\r\n");
    CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    if (c.way == kEscape) {
      PostKey(dialog, VK_ESCAPE);
    } else if (c.way == kCloseBox) {
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    // At once: the worker would wait two minutes for "release".
    CHECK(run.Wait(15000) == c.exitCode);
    CHECK(run.Lines(kCallsFile) == std::vector<std::string>{c.job});
    CHECK_FALSE(run.Has("tmp.txt"));
  }
}

TEST_CASE("closing the dialog while the worker reports without pause ends the process cleanly") {
  for (int round = 0; round < 3; ++round) {
    CAPTURE(round);
    ProgramRun run("early_close_busy_" + std::to_string(round), ScriptedProgramPath());
    PrepareScriptedRun(run, "spam\n");
    REQUIRE(run.Start("-i"));
    HWND dialog = run.WaitForDialog();
    REQUIRE(dialog != nullptr);
    Sleep(200 + 100 * round);
    PostKey(dialog, VK_ESCAPE);
    // 1602, not an access violation: nothing read the destroyed dialog object.
    CHECK(run.Wait(15000) == 1602);
    CHECK_FALSE(run.Has("tmp.txt"));
  }
}

namespace {

// Takes every resource out of the copy of the program, the progress dialog's
// template with them: the dialog cannot be made then. False when the copy
// still has the template.
bool RemoveDialogTemplate(const std::string& program) {
  HANDLE update = BeginUpdateResourceA(program.c_str(), TRUE);
  if (update == nullptr || !EndUpdateResourceA(update, FALSE)) return false;
  HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (image == nullptr) return false;
  const bool gone = FindResourceA(image, MAKEINTRESOURCEA(IDD_HALVORANINSTALLWINAPP_DIALOG), RT_DIALOG) == nullptr;
  FreeLibrary(image);
  return gone;
}

}  // namespace

TEST_CASE("the real program: an install that never started or had failed was not cancelled, whatever ends it") {
  const char kBoxB[] = "Failed to install driver file. Setup will exit.";
  struct Case {
    const char* what;
    const char* arguments;
    bool dialogTemplate;      // false: the dialog cannot be made
    bool closeAtFailureBox;   // the user closes the progress dialog instead of the box
    long exitCode;
  };
  const Case cases[] = {
      {"no dialog, install", "-i", false, false, 1603},
      {"no dialog, uninstall", "-u", false, false, 0},
      // Without its driver INF the install fails at once with box B.
      {"dialog closed while the failure box is up", "-i", true, true, 1603},
  };
  int index = 0;
  for (const Case& c : cases) {
    std::string what = c.what;
    CAPTURE(what);
    ProgramRun run("early_close_failed_" + std::to_string(index++), RealProgramPath());
    if (!c.dialogTemplate) REQUIRE(RemoveDialogTemplate(run.ProgramPath()));
    REQUIRE(run.Start(c.arguments));
    if (c.closeAtFailureBox) {
      HWND box = run.WaitForBox(60000);
      REQUIRE(box != nullptr);
      CHECK(ReadMessageBox(box).text == kBoxB);
      HWND dialog = run.WaitForDialog();
      REQUIRE(dialog != nullptr);
      PostKey(dialog, VK_ESCAPE);
    }
    CHECK(run.Wait(60000) == c.exitCode);
    CHECK_FALSE(run.Has("tmp.txt"));
  }
}
