// Which mode the program takes from its command line: what the dialog shows
// and which job the worker runs, decided by the two different switch orders.
#include <doctest.h>

#include "tests/app/shell_scripts.h"
#include "tests/support/scratch.h"
#include "tests/support/window_driver.h"

TEST_CASE("the dialog and the worker take their modes from the switches in the whole line") {
  REQUIRE_MESSAGE(PathHasNoSwitch(ScratchRoot()), "the test folder's path holds a switch");
  struct Case {
    const char* name;
    const char* folder;     // the program's folder below the run (empty: the run itself)
    const char* arguments;  // after the program's name (its quoted path when in a folder)
    const char* caption;
    const char* text;
    const char* job;
  };
  const Case cases[] = {
      {"install", "", "-i", kDialogCaption, "Install text\r\nsecond line", "RunInstall"},
      {"uninstall", "", "-u", kDialogCaption, "Uninstall text", "RunUninstall"},
      {"launch", "", "-l", kLaunchCaption, "", "RunLaunch"},
      {"uninstall_then_install", "", "-u -i", kDialogCaption, "Install text\r\nsecond line", "RunInstall"},
      {"install_then_uninstall", "", "-i -u", kDialogCaption, "Install text\r\nsecond line", "RunInstall"},
      {"launch_then_uninstall", "", "-l -u", kDialogCaption, "Uninstall text", "RunUninstall"},
      {"longer_word", "", "-install", kDialogCaption, "Install text\r\nsecond line", "RunInstall"},
      {"switch_mid_word", "", "x-uy", kDialogCaption, "Uninstall text", "RunUninstall"},
      {"folder_update", "kit-update", "", kDialogCaption, "Uninstall text", "RunUninstall"},
      {"folder_launcher", "tools-launcher", "", kLaunchCaption, "", "RunLaunch"},
      {"folder_and_switch", "kit-update", "-i", kDialogCaption, "Install text\r\nsecond line", "RunInstall"},
  };
  for (const Case& c : cases) {
    CAPTURE(c.name);
    ProgramRun run(std::string("mode_") + c.name, ScriptedProgramPath(), c.folder);
    PrepareScriptedRun(run, "wait release\n");
    if (*c.folder) {
      std::string line = "\"" + run.ProgramPath() + "\"";
      REQUIRE(run.StartWithLine(*c.arguments ? line + " " + c.arguments : line));
    } else {
      REQUIRE(run.Start(c.arguments));
    }
    HWND dialog = run.WaitForDialog();
    REQUIRE(dialog != nullptr);
    CHECK(WindowText(dialog) == c.caption);
    CHECK(ControlText(GetDlgItem(dialog, 1002)) == c.text);
    run.Put("release", "");
    CHECK(run.Wait() == (std::string(c.job) == "RunInstall" ? 1603 : 0));
    CHECK(run.Lines(kCallsFile) == std::vector<std::string>{c.job});
  }
}

TEST_CASE("a line without a switch the program knows runs no job and closes at once") {
  // Switches are case-sensitive and start with a hyphen only.
  const char* lines[] = {"", "-I", "/i", "-U", "/u", "-L", "/l", "-V", "/v", "--", "i u l v"};
  int index = 0;
  for (const char* arguments : lines) {
    CAPTURE(arguments);
    ProgramRun run("no_switch_" + std::to_string(index++), ScriptedProgramPath());
    PrepareScriptedRun(run, "result 1\n");
    REQUIRE(run.Start(arguments));
    CHECK(run.Wait() == 0);
    CHECK_FALSE(run.Has(kCallsFile));
    CHECK_FALSE(run.Has("tmp.txt"));
  }
}

TEST_CASE("-v shows the build box before the dialog; with -l the launch job still runs") {
  struct Case { const char* arguments; const char* job; };
  const Case cases[] = {{"-v", nullptr}, {"-v -l", "RunLaunch"}, {"-l -v", "RunLaunch"}};
  int index = 0;
  for (const Case& c : cases) {
    CAPTURE(c.arguments);
    ProgramRun run("version_" + std::to_string(index++), ScriptedProgramPath());
    PrepareScriptedRun(run, "wait release\n");
    REQUIRE(run.Start(c.arguments));
    HWND box = run.WaitForBox();
    REQUIRE(box != nullptr);
    SeenBox seen = ReadMessageBox(box);
    CHECK(seen.text == "Build ID: 4232");
    CHECK(seen.hasOk);
    CHECK_FALSE(seen.hasCancel);
    // The box belongs to the dialog's initialisation: the dialog is not shown yet.
    CHECK(FindDialogWithControl(run.Id(), 1002) == nullptr);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (c.job) {
      HWND dialog = run.WaitForDialog();
      REQUIRE(dialog != nullptr);
      CHECK(WindowText(dialog) == kDialogCaption);  // the dialog's order puts -v before -l
      CHECK(ControlText(GetDlgItem(dialog, 1002)) == "");
      run.Put("release", "");
      CHECK(run.Wait() == 0);
      CHECK(run.Lines(kCallsFile) == std::vector<std::string>{c.job});
    } else {
      CHECK(run.Wait() == 0);
      CHECK_FALSE(run.Has(kCallsFile));
    }
  }
}

TEST_CASE("the real program: -v shows the build box first, and no switch ends at once") {
  {
    ProgramRun run("real_version", RealProgramPath());
    REQUIRE(run.Start("-v"));
    HWND box = run.WaitForBox();
    REQUIRE(box != nullptr);
    CHECK(ReadMessageBox(box).text == "Build ID: 4232");
    CHECK(FindDialogWithControl(run.Id(), 1002) == nullptr);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    CHECK(run.Wait() == 0);
  }
  {
    ProgramRun run("real_no_switch", RealProgramPath());
    REQUIRE(run.Start(""));
    CHECK(run.Wait() == 0);
    CHECK_FALSE(run.Has("tmp.txt"));
  }
}
