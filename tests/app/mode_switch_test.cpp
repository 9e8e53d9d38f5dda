// Which mode the program takes from its command line: what the dialog shows
// and which job the worker runs, decided by the two different switch orders
// from the arguments alone (the program's own path is not searched).
#include <doctest.h>

#include "job/setup_mode.h"
#include "tests/app/shell_scripts.h"
#include "tests/support/scratch.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"
#include "product_version.h"  // generated: the release

TEST_CASE("the arguments begin where the C run-time ends the program's path") {
  struct Case { const char* line; const char* arguments; };
  const Case cases[] = {
      {"\"C:\\kit-update\\HalvoranInstallWinApp.exe\" -i", " -i"},
      {"C:\\kit-update\\HalvoranInstallWinApp.exe -l", " -l"},
      {"C:\\kit-update\\HalvoranInstallWinApp.exe\t-l", "\t-l"},
      {"\"C:\\Setup -u Kit\\HalvoranInstallWinApp.exe\" -l", " -l"},
      {"C:\\\"Setup -u\"\\HalvoranInstallWinApp.exe -l -i", " -l -i"},  // quotes mid-path group too
      {"\"C:\\Setup -u\\no closing quote -i", ""},
      {"HalvoranInstallWinApp.exe", ""},
      {" -i", " -i"},  // an empty program path
      {"", ""},
  };
  for (const Case& c : cases) {
    CAPTURE(c.line);
    CHECK(std::string(CommandLineArguments(c.line)) == c.arguments);
  }
}

TEST_CASE("the dialog and the worker take their modes from the switches in the arguments") {
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
      {"folder_and_switch", "kit-update", "-i", kDialogCaption, "Install text\r\nsecond line", "RunInstall"},
      {"installer_folder_uninstalls", "halvoran-installer", "-u", kDialogCaption, "Uninstall text", "RunUninstall"},
      {"utils_folder_launches", "halvoran-utils", "-l", kLaunchCaption, "", "RunLaunch"},
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
    CHECK(ControlText(GetDlgItem(dialog, IDC_INSTRUCTION_TEXT)) == c.text);
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
  // Switches in the program's own path, quoted or not, choose nothing.
  for (const char* folder : {"kit-update", "tools-launcher", "halvoran-installer"}) {
    for (bool quoted : {true, false}) {
      CAPTURE(folder);
      CAPTURE(quoted);
      ProgramRun run("no_switch_" + std::to_string(index++), ScriptedProgramPath(), folder);
      PrepareScriptedRun(run, "result 1\n");
      REQUIRE((quoted || run.ProgramPath().find(' ') == std::string::npos));
      REQUIRE(run.StartWithLine(quoted ? "\"" + run.ProgramPath() + "\"" : run.ProgramPath()));
      CHECK(run.Wait() == 0);
      CHECK_FALSE(run.Has(kCallsFile));
    }
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
    CHECK(seen.text == HALVORAN_BUILD_ID_TEXT);
    CHECK(seen.hasOk);
    CHECK_FALSE(seen.hasCancel);
    // The box belongs to the dialog's initialisation: the dialog is not shown yet.
    CHECK(FindDialogWithControl(run.Id(), IDC_INSTRUCTION_TEXT) == nullptr);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (c.job) {
      HWND dialog = run.WaitForDialog();
      REQUIRE(dialog != nullptr);
      CHECK(WindowText(dialog) == kDialogCaption);  // the dialog's order puts -v before -l
      CHECK(ControlText(GetDlgItem(dialog, IDC_INSTRUCTION_TEXT)) == "");
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
    CHECK(ReadMessageBox(box).text == HALVORAN_BUILD_ID_TEXT);
    CHECK(FindDialogWithControl(run.Id(), IDC_INSTRUCTION_TEXT) == nullptr);
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
