// The fake libraries themselves: the behaviour that the modem and end-to-end
// tests rely on. Wine loads its own libraries for a full path outside the
// system folder, so the fakes are made the system's libraries (until this
// executable ends) and loaded from there, in this process, as the program does.
#include <doctest.h>

#include <windows.h>
#include <ras.h>
#include <raserror.h>
#include <rasdlg.h>
#include <setupapi.h>
#include <stddef.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_stack.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"
#include "tests/support/system_file.h"

using fakestack::Call;
using fakestack::DwordAt;
using fakestack::TextAt;

namespace {

// A fake library of the system folder, loaded with dir as the current
// directory for as long as it is loaded.
class LoadedFake {
 public:
  LoadedFake(const std::string& dir, const char* library) {
    static const bool planted = fakestack::PlantSystemFakes();
    REQUIRE(planted);
    REQUIRE(GetModuleHandleA(library) == nullptr);  // else the load would find that one
    GetCurrentDirectoryA(sizeof saved_, saved_);
    SetCurrentDirectoryA(dir.c_str());
    std::string path = JoinPath(SystemFolder(SystemSide::Native), std::string(library) + ".dll");
    module_ = LoadLibraryA(path.c_str());
    REQUIRE(module_ != nullptr);
  }
  ~LoadedFake() {
    FreeLibrary(module_);
    SetCurrentDirectoryA(saved_);
  }
  template <typename Pfn> Pfn Get(const char* name) {
    void* entry = reinterpret_cast<void*>(GetProcAddress(module_, name));
    REQUIRE(entry != nullptr);
    return reinterpret_cast<Pfn>(entry);
  }

 private:
  HMODULE module_ = nullptr;
  char saved_[MAX_PATH] = {};
};

// An entry point of a loaded fake, typed as the platform header declares it.
#define FAKE_ENTRY(fake, name) (fake).Get<decltype(&name)>(#name)

RASENTRYA EntryRecord(const char* phone) {
  RASENTRYA e;
  memset(&e, 0, sizeof e);
  e.dwSize = sizeof e;
  lstrcpyA(e.szLocalPhoneNumber, phone);
  lstrcpyA(e.szDeviceName, "Zorvane PPP Data Modem");
  return e;
}

std::string AsBytes(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

}  // namespace

TEST_CASE("fake RasEnumDevicesA answers the size probe and lists fake_devices.txt") {
  std::string dir = MakeScratchDir("fakes\\devices");
  LoadedFake ras(dir, "rasapi32");
  auto enumDevices = FAKE_ENTRY(ras, RasEnumDevicesA);

  // No devices file: no devices.
  DWORD size = 99, count = 99;
  CHECK(enumDevices(nullptr, &size, &count) == ERROR_BUFFER_TOO_SMALL);
  CHECK(size == 0);
  CHECK(count == 0);

  REQUIRE(fakestack::WriteDevices(dir, {{"modem", "Zorvane PPP Data Modem"}, {"isdn", "Line 2"}}));
  size = 0;
  CHECK(enumDevices(nullptr, &size, &count) == ERROR_BUFFER_TOO_SMALL);
  CHECK(size == 2 * 152);
  CHECK(count == 2);

  std::vector<RASDEVINFOA> list(3);
  list[0].dwSize = sizeof(RASDEVINFOA) + 1;
  size = 2 * 152;
  CHECK(enumDevices(list.data(), &size, &count) == ERROR_INVALID_SIZE);
  list[0].dwSize = sizeof(RASDEVINFOA);
  size = 152;  // room for one
  CHECK(enumDevices(list.data(), &size, &count) == ERROR_BUFFER_TOO_SMALL);
  CHECK(size == 304);
  size = 3 * 152;
  count = 0;
  CHECK(enumDevices(list.data(), &size, &count) == 0);
  CHECK(size == 304);
  CHECK(count == 2);
  // The second record at the 152-byte stride, its name 21 bytes in.
  std::string bytes = AsBytes(list.data(), 3 * 152);
  CHECK(TextAt(bytes, 0 + 4, 17) == "modem");
  CHECK(TextAt(bytes, 0 + 21, 129) == "Zorvane PPP Data Modem");
  CHECK(TextAt(bytes, 152 + 4, 17) == "isdn");
  CHECK(TextAt(bytes, 152 + 21, 129) == "Line 2");
  CHECK(DwordAt(bytes, 152) == 152);

  std::vector<Call> calls = fakestack::CallsOf(fakestack::ReadCalls(dir), "rasapi32", "RasEnumDevicesA");
  REQUIRE(calls.size() == 5);
  CHECK(calls[1].IsNull("buffer"));
  CHECK(calls[1].Number("size") == 0);
  CHECK(calls[1].Number("result") == 603);
  CHECK(calls[1].Number("sizeOut") == 304);
  CHECK(calls[1].Number("countOut") == 2);
  CHECK(calls[4].Number("dwSize") == 152);
  CHECK(calls[4].Number("size") == 3 * 152);
}

TEST_CASE("the script forces results by call number, by kind and for every call") {
  std::string dir = MakeScratchDir("fakes\\script");
  REQUIRE(fakestack::WriteDevices(dir, {{"modem", "Zorvane PPP Data Modem"}}));
  REQUIRE(fakestack::WriteScript(dir, "# the size probe answers 0, but the third call 5\n"
                                      "RasEnumDevicesA#3 5\nRasEnumDevicesA.probe 0\n"
                                      "RasDeleteEntryA -1\n"));
  LoadedFake ras(dir, "rasapi32");
  auto enumDevices = FAKE_ENTRY(ras, RasEnumDevicesA);
  RASDEVINFOA list[1];
  list[0].dwSize = sizeof list[0];
  struct Case { bool probe; DWORD result; };
  const Case cases[] = {{true, 0}, {false, 0}, {true, 5}, {true, 0}};
  for (const Case& c : cases) {
    DWORD size = c.probe ? 0 : sizeof list, count = 0;
    CHECK(enumDevices(c.probe ? nullptr : list, &size, &count) == c.result);
    CHECK(size == 152);  // outputs as without the script
    CHECK(count == 1);
  }
  CHECK(FAKE_ENTRY(ras, RasDeleteEntryA)(nullptr, "x") == 0xFFFFFFFFu);
}

TEST_CASE("fake phonebook: entries seeded, written, written over, given dial parameters, deleted") {
  std::string dir = MakeScratchDir("fakes\\phonebook");
  REQUIRE(fakestack::WritePhonebook(dir, {{"Halvoran 2.0", "", ""}}));
  LoadedFake ras(dir, "rasapi32");
  auto setEntry = FAKE_ENTRY(ras, RasSetEntryPropertiesA);
  auto setParams = FAKE_ENTRY(ras, RasSetEntryDialParamsA);
  auto deleteEntry = FAKE_ENTRY(ras, RasDeleteEntryA);
  CHECK(deleteEntry(nullptr, "Halvoran 2.0") == 0);
  CHECK(fakestack::ReadPhonebook(dir).empty());

  RASDIALPARAMSA params;
  memset(&params, 0, sizeof params);
  params.dwSize = sizeof params;
  lstrcpyA(params.szEntryName, "Halvoran 3.2");
  lstrcpyA(params.szUserName, "KX4.7");
  CHECK(setParams(nullptr, &params, FALSE) == ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);

  RASENTRYA first = EntryRecord("001"), second = EntryRecord("002");
  CHECK(setEntry(nullptr, "Halvoran 3.2", &first, sizeof first, nullptr, 0) == 0);
  CHECK(setParams(nullptr, &params, FALSE) == 0);
  CHECK(setEntry(nullptr, "Halvoran 3.2", &second, sizeof second, nullptr, 0) == 0);
  CHECK(setEntry(nullptr, "Halvoran 3.2", &first, sizeof first - 4, nullptr, 0) == ERROR_INVALID_SIZE);
  CHECK(setEntry(nullptr, "", &first, sizeof first, nullptr, 0) == ERROR_INVALID_PARAMETER);

  std::vector<fakestack::PhonebookEntry> book = fakestack::ReadPhonebook(dir);
  REQUIRE(book.size() == 1);
  CHECK(book[0].name == "Halvoran 3.2");
  CHECK(book[0].record == AsBytes(&second, sizeof second));
  CHECK(book[0].params == AsBytes(&params, sizeof params));  // kept when written over

  REQUIRE(fakestack::WriteScript(dir, "RasSetEntryPropertiesA 5\n"));
  CHECK(setEntry(nullptr, "Other", &first, sizeof first, nullptr, 0) == 5);
  CHECK(fakestack::ReadPhonebook(dir).size() == 1);

  CHECK(deleteEntry(nullptr, "HALVORAN 3.2") == 0);
  CHECK(deleteEntry(nullptr, "Halvoran 3.2") == ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
  CHECK(fakestack::ReadPhonebook(dir).empty());

  std::vector<Call> writes = fakestack::CallsOf(fakestack::ReadCalls(dir), "rasapi32", "RasSetEntryPropertiesA");
  REQUIRE(writes.size() == 5);
  CHECK(writes[0].Bytes("record") == AsBytes(&first, sizeof first));
  CHECK(writes[2].Number("size") == sizeof first - 4);
  CHECK(writes[2].Number("result") == ERROR_INVALID_SIZE);
}

TEST_CASE("fake RasDialDlgA records its arguments and the record bytes") {
  std::string dir = MakeScratchDir("fakes\\dial");
  LoadedFake dlg(dir, "rasdlg");
  RASDIALDLG info;
  memset(&info, 0, sizeof info);
  info.dwSize = sizeof info;
  info.hwndOwner = reinterpret_cast<HWND>(0x12345);
  char entry[] = "Halvoran 3.2";
  CHECK(FAKE_ENTRY(dlg, RasDialDlgA)(nullptr, entry, nullptr, &info) == TRUE);
  RASDIALDLG sent = info;
  info.dwSize = sizeof info - 1;
  CHECK(FAKE_ENTRY(dlg, RasDialDlgA)(nullptr, entry, nullptr, &info) == FALSE);
  std::vector<Call> calls = fakestack::CallsOf(fakestack::ReadCalls(dir), "rasdlg", "RasDialDlgA");
  REQUIRE(calls.size() == 2);
  CHECK(calls[0].Text("entry") == "Halvoran 3.2");
  CHECK(calls[0].Bytes("info") == AsBytes(&sent, sizeof sent));
  CHECK(DwordAt(calls[0].Bytes("info"), 4) == 0x12345);
}

TEST_CASE("fake SetupCopyOEMInfA stages INFs as Wine does, or as Windows does when told") {
  std::string dir = MakeScratchDir("fakes\\setup");
  std::string inf = JoinPath(dir, "Zorvane.inf"), other = JoinPath(dir, "other.inf");
  REQUIRE(WriteWholeFile(inf, "[Version]\r\n"));
  REQUIRE(WriteWholeFile(other, "[Version]\r\n;other\r\n"));
  CreateDirectoryA(JoinPath(dir, "b").c_str(), nullptr);
  REQUIRE(WriteWholeFile(JoinPath(dir, "b\\Zorvane.inf"), "[Version]\r\n;another\r\n"));
  std::string store = fakestack::InfStoreDir(dir);
  LoadedFake setup(dir, "setupapi");
  auto copy = FAKE_ENTRY(setup, SetupCopyOEMInfA);
  auto uninstall = FAKE_ENTRY(setup, SetupUninstallOEMInfA);

  struct Case {
    const char* script;  // forced outcome, or "" for the natural one
    std::string source;
    DWORD style, destSize;
    BOOL result;
    DWORD error;
    std::string destination;  // "" for an untouched (zeroed) buffer
    std::vector<std::string> staged;
  };
  const Case cases[] = {
      {"", inf, SP_COPY_NOOVERWRITE, MAX_PATH, TRUE, 0, JoinPath(store, "Zorvane.inf"), {"Zorvane.inf"}},
      {"", inf, SP_COPY_NOOVERWRITE, MAX_PATH, FALSE, ERROR_FILE_EXISTS, JoinPath(store, "Zorvane.inf"), {"Zorvane.inf"}},
      {"", inf, 0, MAX_PATH, TRUE, 0, JoinPath(store, "Zorvane.inf"), {"Zorvane.inf"}},
      {"", JoinPath(dir, "b\\Zorvane.inf"), SP_COPY_NOOVERWRITE, MAX_PATH, TRUE, 0, JoinPath(store, "oem0.inf"), {"Zorvane.inf", "oem0.inf"}},
      {"", JoinPath(dir, "missing.inf"), SP_COPY_NOOVERWRITE, MAX_PATH, FALSE, ERROR_FILE_NOT_FOUND, "", {"Zorvane.inf", "oem0.inf"}},
      {"", other, SP_COPY_NOOVERWRITE, 8, FALSE, ERROR_INSUFFICIENT_BUFFER, "", {"Zorvane.inf", "oem0.inf"}},
      {"SetupCopyOEMInfA staged\n", other, SP_COPY_NOOVERWRITE, MAX_PATH, FALSE, ERROR_FILE_EXISTS, JoinPath(store, "other.inf"), {"Zorvane.inf", "oem0.inf"}},
      {"SetupCopyOEMInfA failed\n", inf, SP_COPY_NOOVERWRITE, MAX_PATH, FALSE, ERROR_FILE_NOT_FOUND, "", {"Zorvane.inf", "oem0.inf"}},
      {"SetupCopyOEMInfA copied\n", inf, SP_COPY_NOOVERWRITE, MAX_PATH, TRUE, 0, JoinPath(store, "Zorvane.inf"), {"Zorvane.inf", "oem0.inf"}},
      {"InfStore windows\n", other, SP_COPY_NOOVERWRITE, MAX_PATH, TRUE, 0, JoinPath(store, "oem1.inf"), {"Zorvane.inf", "oem0.inf", "oem1.inf"}},
      {"InfStore windows\n", other, SP_COPY_NOOVERWRITE, MAX_PATH, FALSE, ERROR_FILE_EXISTS, JoinPath(store, "oem1.inf"), {"Zorvane.inf", "oem0.inf", "oem1.inf"}},
  };
  int i = 0;
  for (const Case& c : cases) {
    CAPTURE(i++);
    REQUIRE(fakestack::WriteScript(dir, c.script));
    char dest[MAX_PATH] = {};
    DWORD required = 0;
    char* filePart = nullptr;
    SetLastError(0);
    CHECK(copy(c.source.c_str(), dir.c_str(), SPOST_PATH, c.style, dest, c.destSize, &required, &filePart) == c.result);
    CHECK(GetLastError() == c.error);
    CHECK(std::string(dest) == c.destination);
    if (!c.destination.empty()) {
      CHECK(required == c.destination.size() + 1);
      REQUIRE(filePart != nullptr);
      CHECK(std::string(filePart) == c.destination.substr(store.size() + 1));
    }
    CHECK(fakestack::StagedInfs(dir) == c.staged);
  }
  // The copy has the source's content; its .pnf, the source's name.
  std::string stored;
  REQUIRE(ReadWholeFile(JoinPath(store, "Zorvane.inf"), &stored));
  CHECK(stored == "[Version]\r\n");
  REQUIRE(ReadWholeFile(JoinPath(store, "oem1.pnf"), &stored));
  CHECK(stored == "other.inf");

  // The store's list, and each copy's original name: Wine's answer (the file's
  // own name) or, under Windows naming, the name its .pnf keeps.
  auto list = FAKE_ENTRY(setup, SetupGetInfFileListA);
  auto information = FAKE_ENTRY(setup, SetupGetInfInformationA);
  auto original = FAKE_ENTRY(setup, SetupQueryInfOriginalFileInformationA);
  const std::string names("Zorvane.inf\0oem0.inf\0oem1.inf\0\0", 31);
  char listed[64] = {};
  DWORD required = 0;
  CHECK(list(nullptr, INF_STYLE_WIN4, nullptr, 0, &required) == TRUE);
  CHECK(required == names.size());
  CHECK(list(nullptr, INF_STYLE_WIN4, listed, 8, &required) == FALSE);
  CHECK(GetLastError() == ERROR_INSUFFICIENT_BUFFER);
  CHECK(list(nullptr, INF_STYLE_WIN4, listed, sizeof listed, &required) == TRUE);
  CHECK(std::string(listed, names.size()) == names);
  struct Query { const char* script; const char* name; DWORD search; BOOL result; DWORD error; const char* original; };
  const Query queries[] = {
      {"", "oem1.inf", INFINFO_DEFAULT_SEARCH, TRUE, 0, "oem1.inf"},
      {"InfStore windows\n", "oem1.inf", INFINFO_DEFAULT_SEARCH, TRUE, 0, "other.inf"},
      {"InfStore windows\n", "oem0.inf", INFINFO_DEFAULT_SEARCH, TRUE, 0, "Zorvane.inf"},
      {"InfStore windows\n", "oem9.inf", INFINFO_DEFAULT_SEARCH, FALSE, ERROR_FILE_NOT_FOUND, ""},
      {"", "oem1.inf", INFINFO_INF_NAME_IS_ABSOLUTE, FALSE, ERROR_FILE_NOT_FOUND, ""},  // not in the current folder
      {"", "oem1.inf", INFINFO_INF_SPEC_IS_HINF, FALSE, ERROR_INVALID_PARAMETER, ""},
  };
  for (const Query& q : queries) {
    CAPTURE(q.name);
    CAPTURE(q.script);
    REQUIRE(fakestack::WriteScript(dir, q.script));
    alignas(DWORD) BYTE block[512] = {};
    auto* info = reinterpret_cast<PSP_INF_INFORMATION>(block);
    SetLastError(0);
    CHECK(information(q.name, q.search, info, sizeof block, &required) == q.result);
    CHECK(GetLastError() == q.error);
    if (!q.result) continue;
    CHECK(required == offsetof(SP_INF_INFORMATION, VersionData) + JoinPath(store, q.name).size() + 1);
    SP_ORIGINAL_FILE_INFO_A answer = {};
    answer.cbSize = sizeof answer;
    CHECK(original(info, 0, nullptr, &answer) == TRUE);
    CHECK(std::string(answer.OriginalInfName) == q.original);
    CHECK(original(info, 1, nullptr, &answer) == FALSE);
    answer.cbSize = sizeof answer - 1;
    CHECK(original(info, 0, nullptr, &answer) == FALSE);
    CHECK(GetLastError() == ERROR_INVALID_USER_BUFFER);
  }

  REQUIRE(fakestack::WriteScript(dir, ""));
  struct Removal { const char* name; BOOL result; DWORD error; };
  const Removal removals[] = {
      {"zorvane.inf", TRUE, 0}, {"zorvane.inf", FALSE, ERROR_FILE_NOT_FOUND},
      {"fake_infstore\\oem0.inf", FALSE, ERROR_PATH_NOT_FOUND},
  };
  for (const Removal& r : removals) {
    CAPTURE(r.name);
    SetLastError(0);
    CHECK(uninstall(r.name, SUOI_FORCEDELETE, nullptr) == r.result);
    CHECK(GetLastError() == r.error);
  }
  CHECK(fakestack::StagedInfs(dir) == std::vector<std::string>{"oem0.inf", "oem1.inf"});
  CHECK_FALSE(FileExists(JoinPath(store, "Zorvane.pnf")));  // removed with its INF
  REQUIRE(fakestack::WriteScript(dir, "SetupUninstallOEMInfA 0\n"));
  CHECK(uninstall("oem0.inf", SUOI_FORCEDELETE, nullptr) == FALSE);
  CHECK(fakestack::StagedInfs(dir) == std::vector<std::string>{"oem0.inf", "oem1.inf"});
}

TEST_CASE("the call log keeps texts and bytes exactly") {
  std::string dir = MakeScratchDir("fakes\\log");
  {
    LoadedFake ras(dir, "rasapi32");
    RASENTRYA e = EntryRecord("0049\"30\\12");
    FAKE_ENTRY(ras, RasSetEntryPropertiesA)(nullptr, "A \"quoted\" \\ name\t",
                                                                 &e, sizeof e, nullptr, 0);
  }
  std::vector<Call> calls = fakestack::ReadCalls(dir);
  REQUIRE(calls.size() == 3);
  CHECK(calls[0].event == "attach");
  CHECK(calls[1].Text("entry") == "A \"quoted\" \\ name\t");
  CHECK(TextAt(calls[1].Bytes("record"), 27, 129) == "0049\"30\\12");
  CHECK(calls[2].event == "detach");
}
