// CPL64.exe driving the test control-panel file, and refusing bad arguments.
#include <doctest.h>

#include "tests/support/scratch.h"
#include "tests/support/window_driver.h"
#include "tests/tools/test_applet.h"
#include "tests/tools/tool_run.h"
#include "tools/cpl64/command_line.h"

namespace {

std::string Cpl64() { return QuoteArgument(BinPath("CPL64.exe")); }

// A folder holding a copy of the test applet under the given name, and the
// applet's control file when settings are given.
std::string AppletFolder(const char* folder, const std::string& appletName,
                         const std::string& settings = std::string()) {
  std::string dir = MakeScratchDir(folder);
  REQUIRE(CopyFileTo(BinPath("test_applet.cpl"), JoinPath(dir, appletName)));
  if (!settings.empty()) REQUIRE(WriteWholeFile(JoinPath(dir, "test_applet.ini"), settings));
  return dir;
}

std::vector<std::string> AppletLog(const std::string& dir) {
  return FileLines(JoinPath(dir, "test_applet.log"));
}

std::vector<std::string> Prefixed(const std::string& name, std::vector<std::string> events) {
  for (std::string& e : events) e = name + " " + e;
  return events;
}

// Waits for the applet's dialog in process pid, checks that the host is still
// waiting for it, and closes it with the given button.
void CloseAppletDialog(ChildProcess& host, int button, const char* expectedText) {
  HWND dialog = WaitForTopWindow(host.Id(), "#32770", TEST_APPLET_CAPTION, 20000);
  REQUIRE(dialog != nullptr);
  CHECK(ItemText(dialog, IDC_APPLET_TEXT) == expectedText);
  Sleep(200);
  CHECK(host.Running());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

}  // namespace

TEST_CASE("the path is the whole rest of the command line") {
  struct Case {
    const char* commandLine;
    const char* path;
  };
  const Case cases[] = {
      {"CPL64.exe C:\\windows\\system32\\telephon.cpl", "C:\\windows\\system32\\telephon.cpl"},
      {"CPL64.exe C:\\Program Files\\Two  Blanks\\telephon.cpl",
       "C:\\Program Files\\Two  Blanks\\telephon.cpl"},
      {"\"C:\\my tools\\CPL64.exe\"   C:\\a b\\c.cpl \t ", "C:\\a b\\c.cpl"},
      {"CPL64.exe \"C:\\a b\\c.cpl\"", "C:\\a b\\c.cpl"},
      {"CPL64.exe\tx.cpl", "x.cpl"},
      {"CPL64.exe", ""},
      {"CPL64.exe    ", ""},
      {"\"C:\\my tools\\CPL64.exe\"", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    const std::string shown = c.commandLine;
    CAPTURE(shown);
    CHECK(AppletPathFromCommandLine(c.commandLine) == c.path);
  }
  CHECK(AppletPathFromCommandLine(nullptr).empty());
}

TEST_CASE("CPL64 shows applet 0 in the documented message order and ends when it closes") {
  struct Case {
    const char* what;
    const char* settings;
    std::vector<std::string> log;
  };
  const std::vector<std::string> oneApplet = {
      "CPL_INIT",    "CPL_GETCOUNT",       "CPL_INQUIRE 0", "CPL_DBLCLK 0 0x5a00 hwnd=set",
      "closed 0 ok", "CPL_STOP 0 0x5a00", "CPL_EXIT",      "unloaded",
  };
  const Case cases[] = {
      {"one applet", "", oneApplet},
      {"a modeless dialog is waited for", "modeless=1\n", oneApplet},
      {"every applet inquired and stopped with its own data", "count=3\n",
       {"CPL_INIT", "CPL_GETCOUNT", "CPL_INQUIRE 0", "CPL_INQUIRE 1", "CPL_INQUIRE 2",
        "CPL_DBLCLK 0 0x5a00 hwnd=set", "closed 0 ok", "CPL_STOP 0 0x5a00", "CPL_STOP 1 0x5a01",
        "CPL_STOP 2 0x5a02", "CPL_EXIT", "unloaded"}},
  };
  for (const Case& c : cases) {
    CAPTURE(c.what);
    std::string dir = AppletFolder("cpl64_run", "test_applet.cpl", c.settings);
    ChildProcess host;
    REQUIRE(host.Start(Cpl64() + " " + JoinPath(dir, "test_applet.cpl"), dir));
    CloseAppletDialog(host, IDOK, "Applet 0");
    CHECK(host.Wait(20000) == 0);
    CHECK(AppletLog(dir) == Prefixed("test_applet.cpl", c.log));
  }
}

TEST_CASE("CPL64 takes an unquoted path with blanks, and a quoted one") {
  // Also the applet's close action: its line is appended on OK only.
  for (bool quoted : {false, true}) {
    CAPTURE(quoted);
    const int button = quoted ? IDCANCEL : IDOK;
    std::string dir = AppletFolder("cpl64 with blanks\\sub dir", "telephon.cpl",
                                   "append_file=devices.txt\nappend_line=Zorvane PPP Data Modem\n");
    std::string path = JoinPath(dir, "telephon.cpl");
    ChildProcess host;
    REQUIRE(host.Start(Cpl64() + " " + (quoted ? "\"" + path + "\"" : path), dir));
    CloseAppletDialog(host, button, "Applet 0");
    CHECK(host.Wait(20000) == 0);
    std::vector<std::string> log = AppletLog(dir);
    REQUIRE(log.size() == 8);
    CHECK(log[4] == std::string("telephon.cpl closed 0 ") + (quoted ? "cancel" : "ok"));
    std::string devices;
    CHECK(ReadWholeFile(JoinPath(dir, "devices.txt"), &devices) == !quoted);
    if (!quoted) CHECK(devices == "Zorvane PPP Data Modem\n");
  }
}

TEST_CASE("CPL64 refuses bad arguments with a message box and its own exit code") {
  std::string dir = AppletFolder("cpl64_bad", "test_applet.cpl");
  REQUIRE(WriteWholeFile(JoinPath(dir, "broken.cpl"), "this is no library\r\n"));
  REQUIRE(CopyFileTo(BinPath("not_an_applet.dll"), JoinPath(dir, "not_an_applet.cpl")));
  struct Case {
    const char* what;
    std::string argument;
    const char* settings;
    long exitCode;
    const char* message;
    std::vector<std::string> log;
  };
  const std::string applet = JoinPath(dir, "test_applet.cpl");
  const Case cases[] = {
      {"no argument", "", "", 1, "No control-panel file was named.", {}},
      {"blanks only", "   ", "", 1, "No control-panel file was named.", {}},
      {"missing file", JoinPath(dir, "missing.cpl"), "", 2, "was not found", {}},
      {"a folder", dir, "", 2, "was not found", {}},
      {"not a library", JoinPath(dir, "broken.cpl"), "", 2, "could not be loaded", {}},
      {"no CPlApplet", JoinPath(dir, "not_an_applet.cpl"), "", 3, "has no CPlApplet entry", {}},
      {"CPL_INIT fails", applet, "init=fail\n", 4, "failed to start",
       {"CPL_INIT", "unloaded"}},
      {"no applets", applet, "count=0\n", 5, "offers no applet",
       {"CPL_INIT", "CPL_GETCOUNT", "CPL_EXIT", "unloaded"}},
      {"absurd applet count", applet, "count=100000\n", 5, "offers no applet",
       {"CPL_INIT", "CPL_GETCOUNT", "CPL_EXIT", "unloaded"}},
  };
  for (const Case& c : cases) {
    const std::string what = c.what;
    CAPTURE(what);
    DeleteFileA(JoinPath(dir, "test_applet.log").c_str());
    WriteWholeFile(JoinPath(dir, "test_applet.ini"), c.settings);
    ChildProcess host;
    REQUIRE(host.Start(Cpl64() + (c.argument.empty() ? "" : " " + c.argument), dir));
    BoxAnswerer answerer("CPL64", {IDOK}, host.Id());
    CHECK(host.Wait(20000) == c.exitCode);
    answerer.Stop();
    REQUIRE(answerer.Seen().size() == 1);
    CHECK(answerer.Seen()[0].text.find(c.message) != std::string::npos);
    CHECK(answerer.Seen()[0].hasOk);
    CHECK(AppletLog(dir) == Prefixed("test_applet.cpl", c.log));
  }
}
