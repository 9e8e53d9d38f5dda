// The dial-up entry against the simulated dial-up stack: children run from a
// scratch folder beside the fake rasapi32.dll and rasdlg.dll, which record every
// call and the raw bytes of every record. The AutoDial clean-up works on the
// real registry of the project's Wine prefix.
#include <doctest.h>

#include <windows.h>
#include <ras.h>
#include <rasdlg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "job/product_names.h"
#include "modem/dialup_entry.h"
#include "modem/dialup_records.h"
#include "tests/fakes/fake_stack.h"
#include "tests/modem/modem_test_support.h"
#include "tests/support/child.h"
#include "tests/support/process.h"
#include "tests/support/registry_scratch.h"

using fakestack::Call;

namespace {

int g_contextMarker;

// Exit code 10 + the result; 90 when a status line came with another context.
int Finish(int result) {
  SaveStatus("status.txt");
  for (void* c : g_statusContexts)
    if (c != &g_contextMarker) return 90;
  return 10 + result;
}

StatusCallback CallbackFor(int argc, char** argv) {
  return argc > 0 && strcmp(argv[0], "null") == 0 ? nullptr : RecordStatus;
}

}  // namespace

// args: [null]
TEST_CHILD(create_entry) { return Finish(CreateDialUpEntry(CallbackFor(argc, argv), &g_contextMarker)); }

// args: callback (null or record), entry name
TEST_CHILD(delete_entry) { return Finish(DeleteDialUpEntry(argc > 1 ? argv[1] : "", CallbackFor(argc, argv))); }

// args: owner | none. Writes the owner window's handle to owner.txt.
TEST_CHILD(show_dial) {
  CWnd dialog;
  bool owner = argc > 0 && strcmp(argv[0], "owner") == 0;
  if (owner) dialog.m_hWnd = CreateWindowExA(0, "STATIC", "owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  char text[32];
  snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(dialog.m_hWnd)));
  WriteWholeFile("owner.txt", text);
  ShowDialDialog(owner ? &dialog : nullptr);
  return 10;
}

namespace {

const char kAutoDial[] = "Software\\Microsoft\\RAS AutoDial\\Default";

// The AutoDial key of the prefix, made afresh with the given values (REG_SZ)
// for one test and deleted after it.
using Values = std::vector<std::pair<std::string, std::string>>;

class AutoDialKey {
 public:
  explicit AutoDialKey(const Values& values, bool create = true) {
    ForceDeleteKeyTree(HKEY_CURRENT_USER, kAutoDial);
    if (!create) return;
    REQUIRE(CreateKeyPath(HKEY_CURRENT_USER, kAutoDial));
    for (const auto& v : values) REQUIRE(SetStringValue(HKEY_CURRENT_USER, kAutoDial, v.first, v.second));
  }
  ~AutoDialKey() { ForceDeleteKeyTree(HKEY_CURRENT_USER, kAutoDial); }

  static bool Exists() { return KeyExists(HKEY_CURRENT_USER, kAutoDial); }
  static bool HasValue(const char* name) { return ValueExists(HKEY_CURRENT_USER, kAutoDial, name); }
  static bool HasDefault() { return HasValue("DefaultInternet"); }
};

// Record bytes written from the tables, independently of the code under test.
void Put32(std::string* bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
void PutText(std::string* bytes, size_t offset, const char* text) {
  memcpy(&(*bytes)[offset], text, strlen(text));
}

std::string ExpectedEntry() {
  std::string b(2884, '\0');
  Put32(&b, 0, 2884);
  Put32(&b, 4, 0x3DAD0218);
  PutText(&b, 27, kDialInNumber);
  Put32(&b, 184, 4);
  Put32(&b, 188, 1);
  PutText(&b, 972, "modem");
  PutText(&b, 989, "Zorvane PPP Data Modem");
  Put32(&b, 1796, 1);
  Put32(&b, 1800, 3);
  Put32(&b, 2088, 0x207);
  Put32(&b, 2876, 3);
  Put32(&b, 2880, 60);
  return b;
}

std::string ExpectedDialParams() {
  // 1060 bytes on the shipped build; the x86_64 record's last field is pointer-sized.
  std::string b(sizeof(RASDIALPARAMSA), '\0');
  Put32(&b, 0, sizeof(RASDIALPARAMSA));
  PutText(&b, 4, "Halvoran 3.2");
  PutText(&b, 519, "KX4.7");
  PutText(&b, 776, "KX4.7");
  return b;
}

// The differing byte offsets of two records (empty when equal), for readable failures.
std::string Differences(const std::string& got, const std::string& want) {
  if (got.size() != want.size()) return "size " + std::to_string(got.size()) + " != " + std::to_string(want.size());
  std::string diff;
  for (size_t i = 0; i < got.size(); ++i)
    if (got[i] != want[i]) diff += std::to_string(i) + " ";
  return diff;
}

std::vector<std::string> Events(const std::vector<Call>& calls, const char* library) {
  std::vector<std::string> events;
  for (const Call& c : calls) {
    if (c.library != library) continue;
    std::string e = c.event;
    if (c.Has("entry")) e += " " + c.Text("entry");
    events.push_back(e);
  }
  return events;
}

std::string Status(const std::string& dir) { return FileText(JoinPath(dir, "status.txt")); }

const char kProgress[] = "Setting up dial up networking connection...\n";

}  // namespace

TEST_CASE("dial-up records: the entry and its dial parameters carry exactly the table's bytes") {
  RASENTRYA entry;
  memset(&entry, 0xA5, sizeof entry);  // every byte the builder leaves is seen
  BuildEntryRecord(&entry);
  CHECK(Differences(std::string(reinterpret_cast<const char*>(&entry), sizeof entry), ExpectedEntry()) == "");
  RASDIALPARAMSA params;
  memset(&params, 0xA5, sizeof params);
  BuildDialParams(&params);
  CHECK(Differences(std::string(reinterpret_cast<const char*>(&params), sizeof params), ExpectedDialParams()) == "");
}

TEST_CASE("dial-up entry: 2.0 goes first, the records go to the default phonebook, the library is loaded and freed twice") {
  struct Case { const char* what; std::vector<fakestack::PhonebookEntry> before; };
  const Case cases[] = {
      {"no earlier entry", {}},
      {"earlier entry present", {{"Halvoran 2.0", "", ""}}},
      {"entry exists already", {{"Halvoran 3.2", "old", "old"}}},
  };
  int n = 0;
  for (const Case& c : cases) {
    CAPTURE(c.what);
    std::string dir = FakeFolder("dialup\\order" + std::to_string(n++));
    REQUIRE(fakestack::WritePhonebook(dir, c.before));
    CHECK(RunChildIn(dir, "create_entry", "", true) == 11);
    std::vector<Call> calls = fakestack::ReadCalls(dir);
    CHECK(Events(calls, "rasapi32") ==
          std::vector<std::string>{"attach", "RasDeleteEntryA Halvoran 2.0", "detach", "attach",
                                   "RasSetEntryPropertiesA Halvoran 3.2", "RasSetEntryDialParamsA",
                                   "detach"});
    CHECK(Status(dir) == kProgress);
    std::vector<Call> set = fakestack::CallsOf(calls, "rasapi32", "RasSetEntryPropertiesA");
    REQUIRE(set.size() == 1);
    CHECK(set[0].IsNull("phonebook"));
    CHECK(set[0].Number("size") == 2884);
    CHECK(set[0].IsNull("deviceInfo"));
    CHECK(set[0].Number("deviceInfoSize") == 0);
    std::vector<Call> params = fakestack::CallsOf(calls, "rasapi32", "RasSetEntryDialParamsA");
    REQUIRE(params.size() == 1);
    CHECK(params[0].IsNull("phonebook"));
    CHECK(params[0].Number("removePassword") == 0);
    // The records as they reached the phonebook.
    std::vector<fakestack::PhonebookEntry> after = fakestack::ReadPhonebook(dir);
    REQUIRE(after.size() == 1);
    CHECK(after[0].name == "Halvoran 3.2");
    CHECK(Differences(after[0].record, ExpectedEntry()) == "");
    CHECK(Differences(after[0].params, ExpectedDialParams()) == "");
  }
}

TEST_CASE("dial-up entry: a null callback makes no platform call at all") {
  std::string dir = FakeFolder("dialup\\nullcallback");
  CHECK(RunChildIn(dir, "create_entry", "null", true) == 10);
  CHECK(RunChildIn(dir, "delete_entry", "null \"Halvoran 3.2\"", true) == 10);
  CHECK(fakestack::ReadCalls(dir).empty());
  CHECK(Status(dir) == "");
}

TEST_CASE("dial-up entry: a failed write leaves what was written and the AutoDial default") {
  struct Case { const char* script; bool entryStays; const char* lastCall; };
  const Case cases[] = {
      {"RasSetEntryPropertiesA 623\n", false, "RasSetEntryPropertiesA Halvoran 3.2"},
      {"RasSetEntryDialParamsA 5\n", true, "RasSetEntryDialParamsA"},
      {"RasSetEntryPropertiesA -1\n", false, "RasSetEntryPropertiesA Halvoran 3.2"},
  };
  int n = 0;
  for (const Case& c : cases) {
    CAPTURE(c.script);
    AutoDialKey autoDial(Values{{"DefaultInternet", "Halvoran 3.2"}});
    std::string dir = FakeFolder("dialup\\fail" + std::to_string(n++));
    REQUIRE(fakestack::WriteScript(dir, c.script));
    CHECK(RunChildIn(dir, "create_entry", "", true) == 10);
    std::vector<std::string> events = Events(fakestack::ReadCalls(dir), "rasapi32");
    REQUIRE(events.size() >= 2);
    CHECK(events[events.size() - 2] == c.lastCall);
    CHECK(events.back() == "detach");
    std::vector<fakestack::PhonebookEntry> after = fakestack::ReadPhonebook(dir);
    CHECK(after.size() == (c.entryStays ? 1u : 0u));
    if (c.entryStays && !after.empty()) CHECK(after[0].params.empty());  // no stored credentials
    CHECK(AutoDialKey::HasDefault());
  }
}

TEST_CASE("dial-up entry: a library without every entry point is not used") {
  for (const char* variant : {"rasapi32-no-RasEnumEntriesA", "rasapi32-no-RasSetEntryDialParamsA"}) {
    CAPTURE(variant);
    std::string dir = FakeFolder("dialup\\variant", {variant});
    CHECK(RunChildIn(dir, "create_entry", "", true) == 10);
    CHECK(Events(fakestack::ReadCalls(dir), "rasapi32") ==
          std::vector<std::string>{"attach", "detach", "attach", "detach"});
    CHECK(Status(dir) == "");
    CHECK(RunChildIn(dir, "delete_entry", "record \"Halvoran 3.2\"", true) == 10);
  }
}

TEST_CASE("dial-up entry: deleting reports whether the platform deleted the entry") {
  std::string dir = FakeFolder("dialup\\delete");
  REQUIRE(fakestack::WritePhonebook(dir, {{"Halvoran 3.2", "", ""}}));
  CHECK(RunChildIn(dir, "delete_entry", "record \"Halvoran 3.2\"", true) == 11);
  CHECK(RunChildIn(dir, "delete_entry", "record \"Halvoran 3.2\"", true) == 10);
  std::vector<Call> deletes = fakestack::CallsOf(fakestack::ReadCalls(dir), "rasapi32", "RasDeleteEntryA");
  REQUIRE(deletes.size() == 2);
  CHECK(deletes[0].IsNull("phonebook"));
  CHECK(deletes[1].Number("result") == 623);
  CHECK(Status(dir) == "");  // deleting reports nothing
}

TEST_CASE("dial-up entry: creating clears the AutoDial default that names the entry") {
  AutoDialKey autoDial(Values{{"DefaultInternet", "Halvoran 3.2"}});
  std::string dir = FakeFolder("dialup\\autodial");
  CHECK(RunChildIn(dir, "create_entry", "", true) == 11);
  CHECK_FALSE(AutoDialKey::HasDefault());
}

TEST_CASE("AutoDial: which values make the default go") {
  const std::string oversized(300, 'x');
  struct Case {
    const char* what;
    Values values;
    bool defaultStays;
  };
  // The registry lists values by name, so "A..." comes before "DefaultInternet".
  const Case cases[] = {
      {"default names the entry", {{"DefaultInternet", "Halvoran 3.2"}}, false},
      {"default begins with the entry", {{"DefaultInternet", "Halvoran 3.2 (2)"}}, false},
      {"another value names it", {{"A", "Halvoran 3.2"}, {"DefaultInternet", "Other ISP"}}, false},
      {"a value before it is passed over", {{"A", "Other"}, {"DefaultInternet", "Halvoran 3.2"}}, false},
      {"no value names it", {{"A", "Halvoran 2.0"}, {"DefaultInternet", "Other ISP"}}, true},
      {"letter case differs", {{"DefaultInternet", "halvoran 3.2"}}, true},
      {"shorter than the entry", {{"DefaultInternet", "Halvoran 3"}}, true},
      {"oversized data ends the scan", {{"A", oversized}, {"DefaultInternet", "Halvoran 3.2"}}, true},
      {"oversized name ends the scan", {{"A" + oversized, "x"}, {"DefaultInternet", "Halvoran 3.2"}}, true},
  };
  for (const Case& c : cases) {
    CAPTURE(c.what);
    AutoDialKey autoDial(c.values);
    ClearAutoDialDefault();
    CHECK(AutoDialKey::HasDefault() == c.defaultStays);
    CHECK(AutoDialKey::Exists());
  }
  {
    // Another value names the entry but there is no default: nothing else goes.
    AutoDialKey autoDial(Values{{"A", "Halvoran 3.2"}});
    ClearAutoDialDefault();
    CHECK(AutoDialKey::HasValue("A"));
  }
  {
    AutoDialKey missing(Values{}, false);
    ClearAutoDialDefault();
    CHECK_FALSE(AutoDialKey::Exists());  // not created
  }
}

TEST_CASE("dial dialog: the record names the owner window, or none") {
  for (const char* owner : {"owner", "none"}) {
    CAPTURE(owner);
    std::string dir = FakeFolder(std::string("dialup\\dialog_") + owner);
    CHECK(RunChildIn(dir, "show_dial", owner, true) == 10);
    std::vector<Call> calls = fakestack::ReadCalls(dir);
    CHECK(Events(calls, "rasdlg") == std::vector<std::string>{"attach", "RasDialDlgA Halvoran 3.2", "detach"});
    std::vector<Call> dial = fakestack::CallsOf(calls, "rasdlg", "RasDialDlgA");
    REQUIRE(dial.size() == 1);
    CHECK(dial[0].IsNull("phonebook"));
    CHECK(dial[0].IsNull("phoneNumber"));
    UINT_PTR hwnd = static_cast<UINT_PTR>(strtoull(FileText(JoinPath(dir, "owner.txt")).c_str(), nullptr, 16));
    CHECK((hwnd != 0) == (strcmp(owner, "owner") == 0));
    std::string want(sizeof(RASDIALDLG), '\0');
    Put32(&want, 0, sizeof(RASDIALDLG));
    memcpy(&want[offsetof(RASDIALDLG, hwndOwner)], &hwnd, sizeof hwnd);
    CHECK(Differences(dial[0].Bytes("info"), want) == "");
  }
  std::string dir = FakeFolder("dialup\\dialog_variant", {"rasdlg-no-RasDialDlgA"});
  CHECK(RunChildIn(dir, "show_dial", "none", true) == 10);
  CHECK(fakestack::CountOf(fakestack::ReadCalls(dir), "rasdlg", "RasDialDlgA") == 0);
}
