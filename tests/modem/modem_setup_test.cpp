// The modem search and set-up against the fake remote-access library (devices
// in fake_devices.txt), with the probes scripted through the link seams and the
// panels played by the test control-panel file, which "adds" the modem by
// appending it to the fake's device list when it closes with OK.
#include <doctest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "modem/modem_setup.h"
#include "tests/fakes/fake_stack.h"
#include "tests/modem/modem_test_support.h"
#include "tests/seams/scripted_probes.h"
#include "tests/support/child.h"
#include "tests/support/process.h"
#include "tests/support/system_file.h"

using fakestack::Call;

// args: record|null (callback), name|-null-, flag|noflag. found.txt gets the flag.
TEST_CHILD(find_modem) {
  if (argc < 3) return 98;
  StatusCallback callback = strcmp(argv[0], "null") == 0 ? nullptr : RecordStatus;
  const char* name = strcmp(argv[1], "-null-") == 0 ? nullptr : argv[1];
  int found = 7;
  int result = FindModemDevice(strcmp(argv[2], "flag") == 0 ? &found : nullptr, name, callback);
  WriteWholeFile("found.txt", std::to_string(found));
  return 10 + result;
}

// args: IsWindows7, IsWow64. probes.txt gets how often each probe was asked.
TEST_CHILD(setup_modem) {
  if (argc < 2) return 98;
  g_scriptedIsWindows7 = atoi(argv[0]);
  g_scriptedIsWow64 = atoi(argv[1]);
  int result = SetUpModem(RecordStatus, nullptr);
  SaveStatus("status.txt");
  WriteWholeFile("probes.txt", std::to_string(g_isWindows7Calls) + " " + std::to_string(g_isWow64Calls));
  return 10 + result;
}

namespace {

const char kModem[] = "Zorvane PPP Data Modem";

struct Search {
  long exitCode;
  int found;
  std::vector<Call> calls;
};

Search Find(const std::string& dir, const std::string& args) {
  Search s;
  s.exitCode = RunChildIn(dir, "find_modem", args, true);
  s.found = atoi(FileText(JoinPath(dir, "found.txt")).c_str());
  s.calls = fakestack::ReadCalls(dir);
  return s;
}

size_t Probes(const std::vector<Call>& calls) {
  size_t n = 0;
  for (const Call& c : fakestack::CallsOf(calls, "rasapi32", "RasEnumDevicesA"))
    if (c.IsNull("buffer")) ++n;
  return n;
}

}  // namespace

TEST_CASE("modem search: a prefix match in letter case, in any record") {
  struct Case { std::vector<fakestack::Device> devices; int found; };
  const Case cases[] = {
      {{{"modem", kModem}}, 1},
      {{{"modem", "Zorvane PPP Data Modem #2"}}, 1},
      {{{"modem", "zorvane ppp data modem"}}, 0},
      {{{"modem", "Zorvane PPP Data"}}, 0},
      {{{"isdn", "ISDN Line 1"}, {"modem", "Standard Modem"}, {"modem", kModem}}, 1},
      {{{"modem", kModem}, {"modem", "Standard Modem"}}, 1},
      {{{"modem", "Standard Modem"}}, 0},
  };
  int n = 0;
  for (const Case& c : cases) {
    CAPTURE(n);
    std::string dir = FakeFolder("setup\\find" + std::to_string(n++));
    REQUIRE(fakestack::WriteDevices(dir, c.devices));
    Search s = Find(dir, std::string("record \"") + kModem + "\" flag");
    CHECK(s.exitCode == 11);
    CHECK(s.found == c.found);
    std::vector<Call> enumerations = fakestack::CallsOf(s.calls, "rasapi32", "RasEnumDevicesA");
    REQUIRE(enumerations.size() == 2);
    CHECK(enumerations[0].IsNull("buffer"));
    CHECK(enumerations[0].Number("size") == 0);
    CHECK(enumerations[1].Number("dwSize") == 152);
    CHECK(enumerations[1].Number("size") == 152 * c.devices.size());
    CHECK(fakestack::CountOf(s.calls, "rasapi32", "attach") == 1);
    CHECK(fakestack::CountOf(s.calls, "rasapi32", "detach") == 1);
  }
}

TEST_CASE("modem search: any answer but 603 to the size probe fails the search") {
  struct Case { const char* script; size_t enumerations; };
  const Case cases[] = {
      {"RasEnumDevicesA.probe 0\n", 1},
      {"RasEnumDevicesA.probe -1\n", 1},
      {"RasEnumDevicesA.probe 87\n", 1},
      {"RasEnumDevicesA.list 5\n", 2},
      {"", 1},  // no devices: 603 with no bytes, which holds no record
  };
  int n = 0;
  for (const Case& c : cases) {
    CAPTURE(c.script);
    std::string dir = FakeFolder("setup\\probe" + std::to_string(n++));
    if (*c.script) REQUIRE(fakestack::WriteDevices(dir, {{"modem", kModem}}));
    REQUIRE(fakestack::WriteScript(dir, c.script));
    Search s = Find(dir, std::string("record \"") + kModem + "\" flag");
    CHECK(s.exitCode == 10);
    CHECK(s.found == 0);
    CHECK(fakestack::CountOf(s.calls, "rasapi32", "RasEnumDevicesA") == c.enumerations);
    CHECK(fakestack::CountOf(s.calls, "rasapi32", "detach") == 1);
  }
}

TEST_CASE("modem search: a null callback or name binds nothing; the flag is optional") {
  std::string dir = FakeFolder("setup\\nulls");
  REQUIRE(fakestack::WriteDevices(dir, {{"modem", kModem}}));
  Search s = Find(dir, std::string("null \"") + kModem + "\" flag");
  CHECK(s.exitCode == 10);
  CHECK(s.found == 0);
  s = Find(dir, "record -null- flag");
  CHECK(s.exitCode == 10);
  CHECK(s.found == 0);
  CHECK(s.calls.empty());
  s = Find(dir, std::string("record \"") + kModem + "\" noflag");
  CHECK(s.exitCode == 11);
}

namespace {

struct SetUp {
  long exitCode;
  std::string status;
  std::string probes;  // "<IsWindows7 asked> <IsWow64 asked>"
  std::vector<Call> calls;
  std::vector<std::string> panelLog;
};

// The modem folder with the fakes, CPL64.exe beside the program, and the test
// applet's settings.
std::string SetUpFolder(const std::string& name, const std::string& appletSettings,
                        const std::vector<std::string>& variants = {}) {
  std::string dir = FakeFolder("setup\\" + name, variants);
  REQUIRE(CopyFileTo(BinPath("CPL64.exe"), JoinPath(dir, "CPL64.exe")));
  REQUIRE(WriteWholeFile(JoinPath(dir, "test_applet.ini"), appletSettings));
  return dir;
}

SetUp RunSetUp(const std::string& dir, int windows7, int wow64) {
  SetUp s;
  s.exitCode = RunChildIn(dir, "setup_modem", std::to_string(windows7) + " " + std::to_string(wow64), true);
  s.status = FileText(JoinPath(dir, "status.txt"));
  s.probes = FileText(JoinPath(dir, "probes.txt"));
  s.calls = fakestack::ReadCalls(dir);
  s.panelLog = FileLines(JoinPath(dir, "test_applet.log"));
  return s;
}

const char kWaiting[] = "Waiting for user to set up modem...\n";
const char kAddsModem[] =
    "autoclose_ms=300\nappend_file=fake_devices.txt\nappend_line=modem Zorvane PPP Data Modem\n";

}  // namespace

TEST_CASE("modem set-up: a present modem opens no panel, the answer comes from a second search") {
  struct Case { const char* script; long exitCode; };
  const Case cases[] = {{"", 11}, {"RasEnumDevicesA#3 0\n", 10}};
  for (const Case& c : cases) {
    CAPTURE(c.script);
    PlantedSystemFile modemCpl("modem.cpl", BinPath("test_applet.cpl"));
    std::string dir = SetUpFolder("present", kAddsModem);
    REQUIRE(fakestack::WriteDevices(dir, {{"modem", kModem}}));
    REQUIRE(fakestack::WriteScript(dir, c.script));
    SetUp s = RunSetUp(dir, 0, 0);
    CHECK(s.exitCode == c.exitCode);
    CHECK(s.status == "Modem already installed\n");
    CHECK(s.panelLog.empty());
    CHECK(Probes(s.calls) == 2);
    CHECK(fakestack::CountOf(s.calls, "rasapi32", "attach") == 2);
  }
}

TEST_CASE("modem set-up: the probes choose the panel, and the user's modem is found after it") {
  struct Case { int windows7, wow64; const char* extraSettings; const char* shown; const char* probes; };
  const Case cases[] = {
      // IsWow64 asked once: by the route here, by the choice in the others.
      {0, 0, "", "modem.cpl CPL_DBLCLK 0 0x5a00 hwnd=set", "1 1"},
      {1, 1, "", "telephon.cpl CPL_DBLCLK 0 0x5a00 hwnd=set", "1 1"},
      {1, 0, "count=2\n", "telephon.cpl CPL_DBLCLK 1 0x5a01 hwnd=null", "1 1"},
  };
  for (const Case& c : cases) {
    CAPTURE(c.windows7);
    CAPTURE(c.wow64);
    PlantedSystemFile modemCpl("modem.cpl", BinPath("test_applet.cpl"));
    PlantedSystemFile telephonCpl("telephon.cpl", BinPath("test_applet.cpl"));
    std::string dir = SetUpFolder("route", std::string(kAddsModem) + c.extraSettings);
    REQUIRE(fakestack::WriteDevices(dir, {{"modem", "Standard Modem"}}));
    SetUp s = RunSetUp(dir, c.windows7, c.wow64);
    CHECK(s.exitCode == 11);
    CHECK(s.status == kWaiting);
    CHECK(s.probes == c.probes);
    CHECK(ContainsLine(s.panelLog, c.shown));
    CHECK(Probes(s.calls) == 2);
  }
}

TEST_CASE("modem set-up: a panel closed without adding the modem gives 0") {
  PlantedSystemFile telephonCpl("telephon.cpl", BinPath("test_applet.cpl"));
  std::string dir = SetUpFolder("notadded", "count=2\nautoclose_ms=300\n");
  SetUp s = RunSetUp(dir, 1, 0);
  CHECK(s.exitCode == 10);
  CHECK(s.status == kWaiting);
  CHECK(ContainsLine(s.panelLog, "telephon.cpl closed 1 ok"));
  CHECK(Probes(s.calls) == 2);
}

TEST_CASE("modem set-up: a route that fails ends the step without a second search") {
  struct Case { const char* what; int windows7, wow64; };
  // Under 64-bit Wine the redirection switch is refused, as where it cannot be switched off.
  const Case cases[] = {{"redirection refused", 0, 1}, {"no telephon.cpl", 1, 0}, {"no CPL64.exe", 1, 1}};
  for (const Case& c : cases) {
    CAPTURE(c.what);
    PlantedSystemFile modemCpl("modem.cpl", BinPath("test_applet.cpl"));
    PlantedSystemFile telephonCpl("telephon.cpl", "");
    std::string dir = SetUpFolder("failedroute", kAddsModem);
    DeleteFileA(JoinPath(dir, "CPL64.exe").c_str());
    SetUp s = RunSetUp(dir, c.windows7, c.wow64);
    CHECK(s.exitCode == 10);
    CHECK(s.status == kWaiting);
    CHECK(s.panelLog.empty());
    CHECK(Probes(s.calls) == 1);
  }
}

TEST_CASE("modem set-up: without a usable library every search fails, after the panel too") {
  PlantedSystemFile modemCpl("modem.cpl", BinPath("test_applet.cpl"));
  std::string dir = SetUpFolder("variant", kAddsModem, {"rasapi32-no-RasGetEntryPropertiesA"});
  SetUp s = RunSetUp(dir, 0, 0);
  CHECK(s.exitCode == 10);
  CHECK(s.status == kWaiting);
  CHECK(ContainsLine(s.panelLog, "modem.cpl closed 0 ok"));
  CHECK(fakestack::CountOf(s.calls, "rasapi32", "RasEnumDevicesA") == 0);
  CHECK(fakestack::CountOf(s.calls, "rasapi32", "attach") == 2);
}
