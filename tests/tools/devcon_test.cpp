// The device console against modem devices that the tests create with the
// set-up API, alone and joined with grep.exe through the command interpreter.
#include <doctest.h>

#include "modem/modem_removal.h"
#include "tests/seams/scripted_probes.h"
#include "tests/support/scratch.h"
#include "tests/support/test_devices.h"
#include "tests/tools/tool_run.h"

#include <algorithm>
#include <regex>

namespace {

const char kTestPrefix[] = "ROOT\\MODEM\\HVTOOLS";
const char kOtherClassPrefix[] = "ROOT\\SYSTEM\\HVTOOLS";
// The platform's "System" set-up class, present in every prefix.
const GUID kSystemClassGuid = {0x4D36E97D, 0xE325, 0x11CE,
                               {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

struct TestModem {
  std::string id;
  const char* description;
  const char* friendlyName;
  const char* listedAs;
};

const TestModem kModems[] = {
    {"ROOT\\MODEM\\HVTOOLS_1", "Zorvane PPP Data Modem", nullptr, "Zorvane PPP Data Modem"},
    {"ROOT\\MODEM\\HVTOOLS&AMP&2", "Standard Modem", "Zorvane PPP Data Modem #2",
     "Zorvane PPP Data Modem #2"},
    {"ROOT\\MODEM\\HVTOOLS_LONGER_IDENTIFIER_3", "Other Brand Modem", nullptr, "Other Brand Modem"},
};

// Creates the test modems (and one device of another class) on a clean slate,
// and removes them again at the end.
class ModemDevices {
 public:
  ModemDevices() {
    REQUIRE(EnsureModemClass());
    Clean();
    for (const TestModem& m : kModems)
      REQUIRE(CreateTestDevice(kModemClassGuid, m.id, m.description, m.friendlyName));
    REQUIRE(CreateTestDevice(kSystemClassGuid, "ROOT\\SYSTEM\\HVTOOLS_OTHER",
                             "Zorvane System Device", nullptr));
  }
  ~ModemDevices() { Clean(); }

 private:
  static void Clean() {
    RemoveTestDevicesWithPrefix(kModemClassGuid, kTestPrefix);
    RemoveTestDevicesWithPrefix(kSystemClassGuid, kOtherClassPrefix);
  }
};

std::string DevconPath() { return BinPath("devcon_64.exe"); }

ToolRun Devcon(const std::string& arguments) {
  return RunTool(DevconPath(), arguments, MakeScratchDir("devcon"));
}

struct DeviceLine {
  std::string id;
  size_t colon;
  std::string text;
};

// Parses "<id><blanks>: <text>"; false for a line of another shape.
bool ParseDeviceLine(const std::string& line, DeviceLine* parsed) {
  static const std::regex shape("([^ ]+) +: (.*)");
  std::smatch m;
  if (!std::regex_match(line, m, shape)) return false;
  *parsed = {m[1].str(), static_cast<size_t>(m.position(2)) - 2, m[2].str()};
  return true;
}

}  // namespace

TEST_CASE("listclass writes a header, then one padded line per present device of the class") {
  ModemDevices devices;
  for (const char* className : {"MODEM", "modem"}) {
    const std::string shown = className;
    CAPTURE(shown);
    ToolRun run = Devcon(std::string("listclass ") + className);
    REQUIRE(run.exitCode == 0);
    CHECK(EndsLinesWithCrLf(run.out));
    std::vector<std::string> lines = TextLines(run.out);
    REQUIRE(lines.size() >= 1 + 3);
    CHECK(lines[0] == std::to_string(lines.size() - 1) + " present device(s) of set-up class " +
                          className + ":");

    std::vector<DeviceLine> listed;
    for (size_t i = 1; i < lines.size(); ++i) {
      DeviceLine d;
      CAPTURE(lines[i]);
      REQUIRE(ParseDeviceLine(lines[i], &d));
      listed.push_back(d);
    }
    // One column for all colons: one blank after the longest identifier.
    size_t longest = 0;
    for (const DeviceLine& d : listed) longest = d.id.size() > longest ? d.id.size() : longest;
    for (const DeviceLine& d : listed) CHECK(d.colon == longest + 1);

    for (const TestModem& m : kModems) {
      CAPTURE(m.id);
      int found = 0;
      for (const DeviceLine& d : listed)
        if (d.id == m.id) {
          ++found;
          CHECK(d.text == m.listedAs);
        }
      CHECK(found == 1);
    }
    for (const DeviceLine& d : listed) CHECK(d.id.find("HVTOOLS_OTHER") == std::string::npos);
  }
}

TEST_CASE("remove takes away exactly the named device and says so on one line") {
  ModemDevices devices;
  const std::string id = kModems[1].id;  // the one with '&' in it
  ToolRun run = Devcon(QuoteArgument("@" + id));
  CHECK(run.exitCode == 3);  // no command word

  run = Devcon("remove " + QuoteArgument("@" + id));
  CHECK(run.exitCode == 0);
  CHECK(run.out == id + " : Removed\r\n");
  CHECK_FALSE(DeviceExists(id));
  CHECK(DeviceExists(kModems[0].id));
  CHECK(DeviceExists(kModems[2].id));

  run = Devcon("remove " + QuoteArgument("@" + id));
  CHECK(run.exitCode == 2);
  CHECK(run.out == id + " : Not removed (no such device)\r\n");

  run = Devcon("listclass MODEM");
  CHECK(run.exitCode == 0);
  CHECK(run.out.find(id) == std::string::npos);
  CHECK(run.out.find(kModems[0].id) != std::string::npos);
}

TEST_CASE("the device console refuses wrong arguments with exit 3 and unknown classes with 2") {
  struct Case {
    const char* arguments;
    long exitCode;
  };
  const Case cases[] = {
      {"", 3},
      {"listclass", 3},
      {"listclass MODEM extra", 3},
      {"remove", 3},
      {"remove ROOT\\MODEM\\HVTOOLS_1", 3},
      {"remove @", 3},
      {"remove @ROOT\\MODEM\\HVTOOLS_1 @ROOT\\MODEM\\HVTOOLS_LONGER_IDENTIFIER_3", 3},
      {"frobnicate MODEM", 3},
      {"listclass HalvoranNoSuchClass", 2},
  };
  ModemDevices devices;
  for (const Case& c : cases) {
    const std::string shown = c.arguments;
    CAPTURE(shown);
    ToolRun run = Devcon(c.arguments);
    CHECK(run.exitCode == c.exitCode);
    CHECK(run.out.empty());
    CHECK_FALSE(run.err.empty());
  }
  for (const TestModem& m : kModems) CHECK(DeviceExists(m.id));
}

TEST_CASE("the listing and removal commands work through the command interpreter") {
  ModemDevices devices;
  std::string dir = MakeScratchDir("devcon_cmd");
  REQUIRE(CopyFileTo(DevconPath(), JoinPath(dir, "devcon_64.exe")));
  REQUIRE(CopyFileTo(BinPath("grep.exe"), JoinPath(dir, "grep.exe")));

  // The listing, with cmd's own quoting rules for /c.
  ChildProcess cmd;
  REQUIRE(cmd.Start("cmd /c \".\\devcon_64.exe listclass MODEM | .\\grep.exe Zorvane > "
                    "devcon_modem.txt\"",
                    dir));
  CHECK(cmd.Wait(60000) == 0);
  std::string listing;
  REQUIRE(ReadWholeFile(JoinPath(dir, "devcon_modem.txt"), &listing));
  CHECK(EndsLinesWithCrLf(listing));
  std::vector<std::string> ids;
  for (const std::string& line : TextLines(listing)) {
    CAPTURE(line);
    DeviceLine d;
    REQUIRE(ParseDeviceLine(line, &d));
    CHECK(d.text.find("Zorvane") != std::string::npos);
    if (d.id.rfind(kTestPrefix, 0) == 0) ids.push_back(d.id);
  }
  std::sort(ids.begin(), ids.end());
  std::vector<std::string> brand = {kModems[0].id, kModems[1].id};
  std::sort(brand.begin(), brand.end());
  CHECK(ids == brand);

  // The same listing through system(), as the product runs it.
  DeleteFileA(JoinPath(dir, "devcon_modem.txt").c_str());
  CHECK(RunThroughSystem(".\\devcon_64.exe listclass MODEM | .\\grep.exe Zorvane > devcon_modem.txt",
                         dir) == 0);
  std::string again;
  REQUIRE(ReadWholeFile(JoinPath(dir, "devcon_modem.txt"), &again));
  CHECK(again == listing);

  // Unquoted, cmd splits an identifier at '&' into several commands: nothing
  // is removed and the filter sees no confirmation.
  const std::string ampersand = kModems[1].id;
  CHECK(RunThroughSystem(".\\devcon_64.exe remove @" + ampersand +
                             " | .\\grep.exe \"ROOT\\\\MODEM\\\\HVTOOLS&AMP&2 *: Removed\"",
                         dir) != 0);
  CHECK(DeviceExists(ampersand));

  // The program's own removal commands (for the 64-bit console, as under
  // WOW64): each removal is confirmed by the filter's exit status.
  g_scriptedIsWow64 = 1;
  for (const std::string& id : ids) {
    CAPTURE(id);
    char command[kRemovalCommandSize];
    REQUIRE(BuildRemovalCommand((id + " : Zorvane PPP Data Modem").c_str(), command));
    CHECK(RunThroughSystem(command, dir) == 0);
    CHECK_FALSE(DeviceExists(id));
    // A second time the device is gone, and the filter says so.
    CHECK(RunThroughSystem(command, dir) == 1);
  }
  g_scriptedIsWow64 = 0;
  CHECK(DeviceExists(kModems[2].id));
}
