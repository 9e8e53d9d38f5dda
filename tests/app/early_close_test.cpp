// The user may end the dialog (Escape, the close box) while the job still
// runs; an IDOK command that reaches it some other way (the Close button
// stays disabled) ends it too. The process then ends at once, before the
// dialog object goes, so the worker never reads a destroyed object; an
// install that did not finish counts as cancelled by the user: it ends with
// 1602 and leaves no marker.
#include <doctest.h>

#include "tests/app/shell_scripts.h"
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
