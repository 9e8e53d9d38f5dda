// The three control-panel routes, run for real under Wine: a copy of the test
// control-panel file stands in for the system folder's modem.cpl or
// telephon.cpl, and the route runs in a child whose current directory is a
// scratch folder (the test applet reads its settings and writes its record there).
// The test closes the applet's dialog from the Windows side and checks that the
// route was still waiting until then.
#include <doctest.h>

#include <stdlib.h>

#include "modem/modem_setup.h"
#include "tests/modem/modem_test_support.h"
#include "tests/seams/scripted_probes.h"
#include "tests/support/child.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"
#include "tests/support/system_file.h"
#include "tests/support/window_driver.h"
#include "tests/tools/test_applet.h"

// args: route (modem, cpl64, inprocess), IsWow64, [folder to put first on PATH]
TEST_CHILD(open_panel) {
  if (argc < 2) return 98;
  g_scriptedIsWow64 = atoi(argv[1]);
  if (argc > 2) {
    char path[8192] = {};
    GetEnvironmentVariableA("PATH", path, sizeof path);
    SetEnvironmentVariableA("PATH", (std::string(argv[2]) + ";" + path).c_str());
  }
  std::string route = argv[0];
  int result = route == "modem"   ? OpenModemCpl()
               : route == "cpl64" ? OpenTelephonCplWithCpl64()
                                  : OpenTelephonCplInProcess();
  return 10 + result;
}

namespace {

struct PanelRun {
  long exitCode = -1;
  bool waitedForPanel = false;  // the route had not returned while the dialog was open
  std::vector<std::string> log;
};

// Starts the route in a child (this executable, or a copy of it) in dir, closes
// the applet's dialog with button when it appears (expectDialog), and collects
// the applet's record.
PanelRun RunRoute(const std::string& dir, const std::string& args, bool expectDialog,
                  int button = IDOK, const std::string& program = SelfPath()) {
  PanelRun run;
  ChildProcess child;
  REQUIRE(child.Start(ChildCommandLine("open_panel", args, program), dir));
  if (expectDialog) {
    HWND dialog = WaitForTopWindow(0, "#32770", TEST_APPLET_CAPTION, 30000);
    REQUIRE(dialog != nullptr);
    Sleep(300);
    run.waitedForPanel = child.Running();
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  }
  run.exitCode = child.Wait(30000);
  run.log = FileLines(JoinPath(dir, "test_applet.log"));
  return run;
}

}  // namespace

TEST_CASE("panels: the rundll32 route shows modem.cpl and returns after it has ended") {
  PlantedSystemFile panel("modem.cpl", BinPath("test_applet.cpl"));
  std::string dir = MakeScratchDir("panels\\modem");
  // Only the system's rundll32 runs, not one in the current folder.
  REQUIRE(CopyFileTo(BinPath("scripted_devcon.exe"), JoinPath(dir, "rundll32.exe")));
  PanelRun run = RunRoute(dir, "modem 0", true);
  CHECK_FALSE(FileExists(JoinPath(dir, "devcon_calls.txt")));
  CHECK(run.waitedForPanel);
  CHECK(run.exitCode == 11);
  CHECK(ContainsLine(run.log, "modem.cpl CPL_INIT"));
  CHECK(ContainsLine(run.log, "modem.cpl closed 0 ok"));
  REQUIRE_FALSE(run.log.empty());
  CHECK(run.log.back() == "modem.cpl unloaded");
}

TEST_CASE("panels: the CPL64 route starts CPL64.exe from the program's folder only") {
  // The program's folder holds a copy of this executable; the current folder
  // and a folder on the search path hold decoys named CPL64.exe, which would
  // note their start in the current folder.
  PlantedSystemFile panel("telephon.cpl", BinPath("test_applet.cpl"));
  std::string dir = MakeScratchDir("panels\\cpl64");
  std::string onPath = MakeScratchDir("panels\\cpl64_path");
  REQUIRE(CopyFileTo(BinPath("scripted_devcon.exe"), JoinPath(onPath, "CPL64.exe")));
  REQUIRE(CopyFileTo(BinPath("scripted_devcon.exe"), JoinPath(dir, "CPL64.exe")));
  struct Case { const char* what; bool beside; long exitCode; };
  const Case cases[] = {{"beside the program", true, 11}, {"not beside the program", false, 10}};
  for (const Case& c : cases) {
    CAPTURE(c.what);
    std::string program = MakeScratchDir("panels\\cpl64_program");
    REQUIRE(CopyFileTo(SelfPath(), JoinPath(program, "modem_child.exe")));
    if (c.beside) REQUIRE(CopyFileTo(BinPath("CPL64.exe"), JoinPath(program, "CPL64.exe")));
    DeleteFileA(JoinPath(dir, "test_applet.log").c_str());
    PanelRun run = RunRoute(dir, "cpl64 1 \"" + onPath + "\"", c.beside, IDCANCEL,
                            JoinPath(program, "modem_child.exe"));
    CHECK(run.exitCode == c.exitCode);
    CHECK(run.waitedForPanel == c.beside);
    CHECK(ContainsLine(run.log, "telephon.cpl CPL_DBLCLK 0 0x5a00 hwnd=set") == c.beside);
    CHECK(ContainsLine(run.log, "telephon.cpl closed 0 cancel") == c.beside);
    CHECK_FALSE(FileExists(JoinPath(dir, "devcon_calls.txt")));  // no decoy ran here
  }
}

TEST_CASE("panels: the in-process route drives applet 1 with exactly four messages") {
  PlantedSystemFile panel("telephon.cpl", BinPath("test_applet.cpl"));
  std::string dir = MakeScratchDir("panels\\inprocess");
  REQUIRE(WriteWholeFile(JoinPath(dir, "test_applet.ini"), "count=2\n"));
  PanelRun run = RunRoute(dir, "inprocess 0", true);
  CHECK(run.waitedForPanel);
  CHECK(run.exitCode == 11);
  CHECK(run.log == std::vector<std::string>{
                       "telephon.cpl CPL_INIT",
                       "telephon.cpl CPL_INQUIRE 1",
                       "telephon.cpl CPL_DBLCLK 1 0x5a01 hwnd=null",
                       "telephon.cpl closed 1 ok",
                       "telephon.cpl CPL_EXIT",
                       "telephon.cpl unloaded",
                   });
}

TEST_CASE("panels: a route that cannot show its panel starts nothing and fails") {
  // decoy: a panel of the same name in the current folder, which must not open.
  struct Case { const char* what; const char* panel; const char* source; const char* args; bool decoy; };
  const Case cases[] = {
      // A 64-bit process has no redirection to switch off: Wine refuses the
      // call, which is the route's failure path under WOW64.
      {"rundll32 route, redirection not switched off", "modem.cpl", "test_applet.cpl", "modem 1", false},
      // As on Windows Vista, whose system folder has no modem.cpl.
      {"rundll32 route, no modem.cpl", "modem.cpl", "", "modem 0", true},
      {"in-process route, no telephon.cpl", "telephon.cpl", "", "inprocess 0", true},
      {"in-process route, no CPlApplet entry", "telephon.cpl", "not_an_applet.dll", "inprocess 0", false},
  };
  for (const Case& c : cases) {
    CAPTURE(c.what);
    PlantedSystemFile panel(c.panel, *c.source ? BinPath(c.source) : "");
    std::string dir = MakeScratchDir("panels\\failed_route");
    if (c.decoy) REQUIRE(CopyFileTo(BinPath("test_applet.cpl"), JoinPath(dir, c.panel)));
    PanelRun run = RunRoute(dir, c.args, false);
    CHECK(run.exitCode == 10);
    CHECK(run.log.empty());
  }
}

TEST_CASE("panels: the in-process route takes what telephon.cpl imports from the system folder only") {
  // A telephon.cpl that imports import_probe.dll, which notes where it was
  // loaded from; copies of the probe lie in the current folder and beside the
  // program, where the loader's own search would look first.
  PlantedSystemFile panel("telephon.cpl", BinPath("probe_importer.dll"));
  struct Case { const char* what; bool inSystemFolder; };
  const Case cases[] = {{"the import only beside the program and in the current folder", false},
                        {"the import in the system folder too", true}};
  for (const Case& c : cases) {
    INFO(std::string(c.what));
    PlantedSystemFile probe("import_probe.dll", c.inSystemFolder ? BinPath("import_probe.dll") : "");
    std::string dir = MakeScratchDir("panels\\imports");
    std::string program = MakeScratchDir("panels\\imports_program");
    REQUIRE(CopyFileTo(SelfPath(), JoinPath(program, "modem_child.exe")));
    for (const std::string& place : {dir, program})
      REQUIRE(CopyFileTo(BinPath("import_probe.dll"), JoinPath(place, "import_probe.dll")));
    // No CPlApplet entry: the route fails either way, after the load.
    PanelRun run = RunRoute(dir, "inprocess 0", false, IDOK, JoinPath(program, "modem_child.exe"));
    CHECK(run.exitCode == 10);
    std::vector<std::string> loads = FileLines(JoinPath(dir, "import_probe.log"));
    if (c.inSystemFolder)
      CHECK(loads == std::vector<std::string>{probe.Path()});
    else
      CHECK(loads.empty());
  }
}
