// RemoveModemDevices with the real companion programs (devcon_64.exe, grep.exe)
// against modem devices made with the set-up API in the project's prefix. An
// executable of its own: the device helpers import setupapi.dll, which must not
// load where the other modem tests place a fake one.
#include <doctest.h>

#include "modem/modem_removal.h"
#include "tests/modem/modem_test_support.h"
#include "tests/seams/scripted_probes.h"
#include "tests/support/child.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"
#include "tests/support/test_devices.h"

// This 64-bit build makes only the 64-bit device console: the WOW64 route names it.
TEST_CHILD(remove_with_tools) {
  g_scriptedIsWow64 = 1;
  return 10 + RemoveModemDevices(RecordStatus, nullptr);
}

namespace {

const char kPrefix[] = "ROOT\\MODEM\\HVMODEM";
const char kOther[] = "ROOT\\MODEM\\HVMODEM_OTHER";

class TestModems {
 public:
  explicit TestModems(const std::string& brandId) : brandId_(brandId) {
    REQUIRE(EnsureModemClass());
    RemoveTestDevicesWithPrefix(kModemClassGuid, kPrefix);
    REQUIRE(CreateTestDevice(kModemClassGuid, brandId, "Standard Modem", "Zorvane PPP Data Modem"));
    REQUIRE(CreateTestDevice(kModemClassGuid, kOther, "Other Brand Modem", nullptr));
  }
  ~TestModems() { RemoveTestDevicesWithPrefix(kModemClassGuid, kPrefix); }

 private:
  std::string brandId_;
};

}  // namespace

TEST_CASE("removal with the companion programs: the brand modem goes, confirmed; others stay") {
  // Identifiers whose '&' would split an unquoted command, and whose '.' and
  // '[' would be pattern syntax if the filter saw them unescaped.
  const char* ids[] = {"ROOT\\MODEM\\HVMODEM&AMP&1", "ROOT\\MODEM\\HVMODEM.[2]"};
  for (const char* id : ids) {
    CAPTURE(id);
    TestModems modems(id);
    std::string dir = MakeScratchDir("removal_tools");
    REQUIRE(CopyFileTo(BinPath("devcon_64.exe"), JoinPath(dir, "devcon_64.exe")));
    REQUIRE(CopyFileTo(BinPath("grep.exe"), JoinPath(dir, "grep.exe")));
    CHECK(RunChildIn(dir, "remove_with_tools", "", false) == 11);
    CHECK_FALSE(DeviceExists(id));
    CHECK(DeviceExists(kOther));
  }
}
