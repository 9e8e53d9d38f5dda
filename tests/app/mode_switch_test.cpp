// Which mode the program takes from its command line: what the dialog shows
// and which job the worker runs, decided by the two different switch orders
// from the arguments alone (the program's own path is not searched).
#include <doctest.h>

#include <ctype.h>

#include <iterator>

#include "job/setup_mode.h"
#include "tests/app/shell_scripts.h"
#include "tests/support/scratch.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"
#include "product_version.h"  // generated: the release

TEST_CASE("the arguments follow the program's own path, or its first token, or are the whole line") {
  const char kProgram[] = "C:\\Program Files\\Zorvane-install\\HalvoranInstallWinApp.exe";
  struct Case { const char* line; const char* program; const char* arguments; };
  const Case cases[] = {
      // The program's own path, quoted or not, in any case: blanks in it end nothing.
      {"C:\\Program Files\\Zorvane-install\\HalvoranInstallWinApp.exe -u", kProgram, " -u"},
      {"\"C:\\Program Files\\Zorvane-install\\HalvoranInstallWinApp.exe\" -u", kProgram, " -u"},
      {"c:\\PROGRAM FILES\\zorvane-INSTALL\\halvoraninstallwinapp.EXE -u", kProgram, " -u"},
      {"C:\\Program Files\\Zorvane-install\\HalvoranInstallWinApp.exe", kProgram, ""},
      {"\"C:\\Program Files\\Zorvane-install\\HalvoranInstallWinApp.exe\"", kProgram, ""},
      // Another path, or the program's own cut short or quoted halfway: its first token.
      {"C:\\Program Files\\Zorvane-install\\Other.exe -u", kProgram, " Files\\Zorvane-install\\Other.exe -u"},
      {"C:\\Program Files\\Zorvane-install\\HalvoranInstallWinApp.ex -u", kProgram,
       " Files\\Zorvane-install\\HalvoranInstallWinApp.ex -u"},
      {"\"C:\\Program Files\\Zorvane-install\\HalvoranInstallWinApp.exe -u", kProgram, ""},
      {"HalvoranInstallWinApp.exe -u", kProgram, " -u"},
      // Only the arguments (CreateProcess(program, "-i")): the whole line.
      {"-i", kProgram, "-i"},
      {"-u -i", "", "-u -i"},
      {"/q -u", kProgram, "/q -u"},
      // Without the program's path, where the C run-time ends argv[0].
      {"\"C:\\kit-update\\HalvoranInstallWinApp.exe\" -i", "", " -i"},
      {"C:\\kit-update\\HalvoranInstallWinApp.exe -l", "", " -l"},
      {"C:\\kit-update\\HalvoranInstallWinApp.exe\t-l", "", "\t-l"},
      {"\"C:\\Setup -u Kit\\HalvoranInstallWinApp.exe\" -l", "", " -l"},
      {"C:\\\"Setup -u\"\\HalvoranInstallWinApp.exe -l -i", "", " -l -i"},  // quotes mid-path group too
      {"\"C:\\Setup -u\\no closing quote -i", "", ""},
      {"HalvoranInstallWinApp.exe", "", ""},
      {" -i", "", " -i"},  // an empty program path
      {" -i", kProgram, " -i"},
      {"", "", ""},
      {"", kProgram, ""},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    std::string program = c.program;
    CAPTURE(line);
    CAPTURE(program);
    CHECK(std::string(CommandLineArguments(c.line, c.program)) == c.arguments);
  }
}

TEST_CASE("the dialog and the worker each take the first switch of their own order") {
  const SetupMode I = SetupMode::Install, U = SetupMode::Uninstall, V = SetupMode::Version,
                  L = SetupMode::Launch, none = SetupMode::None;
  struct Case { const char* arguments; SetupMode dialog; SetupMode worker; };
  const Case cases[] = {
      {" -i", I, I},         {" -u", U, U},       {" -l", L, L},         {" -v", V, none},
      {" -u -i", I, I},      {" -i -u", I, I},    {" -l -u", U, U},      {" -v -l", V, L},
      {" -l -v", V, L},      {" -v -u", U, U},    {" -install", I, I},   {"x-uy", U, U},
      // Switches are case-sensitive and start with a hyphen only.
      {"", none, none},      {" -I", none, none}, {" /i", none, none},   {" -U", none, none},
      {" /u", none, none},   {" -L", none, none}, {" /l", none, none},   {" -V", none, none},
      {" /v", none, none},   {" --", none, none}, {" i u l v", none, none},
  };
  for (const Case& c : cases) {
    std::string arguments = c.arguments;
    CAPTURE(arguments);
    CHECK(DecideSetupMode(c.arguments, kDialogOrder, std::size(kDialogOrder)) == c.dialog);
    CHECK(DecideSetupMode(c.arguments, kWorkerOrder, std::size(kWorkerOrder)) == c.worker);
  }
}

TEST_CASE("the program shows the dialog's mode and runs the worker's job from its own command line") {
  REQUIRE_MESSAGE(PathHasNoSwitch(ScratchRoot()), "the test folder's path holds a switch");
  // How the line names the program: by its file name, by its full path (quoted,
  // as it is, or in other letter case), or not at all (only the arguments).
  enum Start { kName, kQuoted, kPath, kPathOtherCase, kArgumentsOnly };
  struct Case {
    const char* name;
    const char* folder;     // the program's folder below the run (empty: the run itself)
    Start start;
    const char* arguments;  // after the program's name or path
    const char* caption;    // the dialog's; null: no dialog, the program ends by itself
    const char* text;
    const char* job;        // null: none runs
  };
  const Case cases[] = {
      {"install", "", kName, "-i", kDialogCaption, "Install text\r\nsecond line", "RunInstall"},
      {"uninstall", "", kName, "-u", kDialogCaption, "Uninstall text", "RunUninstall"},
      {"launch", "", kName, "-l", kLaunchCaption, "", "RunLaunch"},
      // The build box comes first; the dialog's order puts -v before -l.
      {"version", "", kName, "-v", nullptr, "", nullptr},
      {"version_then_launch", "", kName, "-v -l", kDialogCaption, "", "RunLaunch"},
      // A switch in the program's own path, quoted or not, chooses nothing,
      // also where the path holds blanks before it.
      {"installer_folder_uninstalls", "halvoran-installer", kQuoted, "-u", kDialogCaption,
       "Uninstall text", "RunUninstall"},
      {"installer_folder_no_switch", "halvoran-installer", kPath, "", nullptr, "", nullptr},
      {"blank_before_installer_folder", "Setup Zorvane-install", kPath, "-u",
       kDialogCaption, "Uninstall text", "RunUninstall"},
      {"blank_before_installer_folder_other_case", "Setup Zorvane-install",
       kPathOtherCase, "-u", kDialogCaption, "Uninstall text", "RunUninstall"},
      // A caller that passes the arguments alone.
      {"arguments_only_install", "", kArgumentsOnly, "-i", kDialogCaption,
       "Install text\r\nsecond line", "RunInstall"},
      {"arguments_only_launch", "", kArgumentsOnly, "-l", kLaunchCaption, "", "RunLaunch"},
      {"no_switch", "", kName, "", nullptr, "", nullptr},
      {"slash", "", kName, "/i", nullptr, "", nullptr},
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    CAPTURE(name);
    ProgramRun run(std::string("mode_") + c.name, ScriptedProgramPath(), c.folder);
    PrepareScriptedRun(run, "wait release\n");
    if (!c.caption) run.Put("release", "");  // a job that should not run would not wait
    std::string line = run.ProgramPath();
    if (c.start == kQuoted) line = "\"" + line + "\"";
    if (c.start == kPathOtherCase) {
      for (char& ch : line) ch = static_cast<char>(islower(ch) ? toupper(ch) : tolower(ch));
    }
    if (c.start == kName) {
      REQUIRE(run.Start(c.arguments));
    } else if (c.start == kArgumentsOnly) {
      REQUIRE(run.StartWithLine(c.arguments));
    } else {
      REQUIRE(run.StartWithLine(*c.arguments ? line + " " + c.arguments : line));
    }
    if (std::string(c.arguments).find("-v") != std::string::npos) {
      HWND box = run.WaitForBox();
      REQUIRE(box != nullptr);
      SeenBox seen = ReadMessageBox(box);
      CHECK(seen.text == HALVORAN_BUILD_ID_TEXT);
      CHECK(seen.hasOk);
      CHECK_FALSE(seen.hasCancel);
      // The box belongs to the dialog's initialisation: the dialog is not shown yet.
      CHECK(FindDialogWithControl(run.Id(), IDC_INSTRUCTION_TEXT) == nullptr);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    if (c.caption) {
      HWND dialog = run.WaitForDialog();
      REQUIRE(dialog != nullptr);
      CHECK(WindowText(dialog) == c.caption);
      CHECK(ControlText(GetDlgItem(dialog, IDC_INSTRUCTION_TEXT)) == c.text);
      run.Put("release", "");
    }
    const bool install = c.job && std::string(c.job) == "RunInstall";
    CHECK(run.Wait() == (install ? 1603 : 0));
    if (c.job) CHECK(run.Lines(kCallsFile) == std::vector<std::string>{c.job});
    else CHECK_FALSE(run.Has(kCallsFile));
    CHECK_FALSE(run.Has("tmp.txt"));
  }
}

TEST_CASE("the real program: -v shows the build box first, and no switch ends at once") {
  // However the line names the program: the switch after its name, the switch
  // alone, or after its unquoted path whose blank comes before "-install".
  struct Case { const char* name; const char* folder; bool alone; };
  const Case cases[] = {{"real_version", "", false},
                        {"real_version_alone", "", true},
                        {"real_version_path", "Setup Zorvane-install", false}};
  for (const Case& c : cases) {
    std::string name = c.name;
    CAPTURE(name);
    ProgramRun run(c.name, RealProgramPath(), c.folder);
    if (c.alone) REQUIRE(run.StartWithLine("-v"));
    else if (*c.folder) REQUIRE(run.StartWithLine(run.ProgramPath() + " -v"));
    else REQUIRE(run.Start("-v"));
    HWND box = run.WaitForBox();
    REQUIRE(box != nullptr);
    CHECK(ReadMessageBox(box).text == HALVORAN_BUILD_ID_TEXT);
    CHECK(FindDialogWithControl(run.Id(), IDC_INSTRUCTION_TEXT) == nullptr);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    CHECK(run.Wait() == 0);
    CHECK_FALSE(run.Has("tmp.txt"));
  }
  {
    ProgramRun run("real_no_switch", RealProgramPath());
    REQUIRE(run.Start(""));
    CHECK(run.Wait() == 0);
    CHECK_FALSE(run.Has("tmp.txt"));
  }
}
