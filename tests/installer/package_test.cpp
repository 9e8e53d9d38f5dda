// The product package under Wine's Windows Installer: msiexec puts the files
// into Program Files and runs the program there with -i, rolls everything back
// when the program fails, and runs it with -u before the files go.
//
// The program loads its libraries from the system folder, so the fake
// remote-access libraries stand in for the prefix's own system libraries while
// a case runs; they keep their state in the program's current directory, which
// is the install folder. Wine's own setup library stages the INF for real.
#include <doctest.h>

#include <windows.h>
#include <ras.h>
#include <shlobj.h>
#include <stddef.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/fakes/fake_stack.h"
#include "tests/jobs/job_folder.h"
#include "tests/support/process.h"
#include "tests/support/program_run.h"
#include "tests/support/system_file.h"
#include "tests/support/window_driver.h"

namespace {

// The package under test and the same files as a later build. The x86_64
// build tests packages of its own program. The i686 run (the shipped program in
// the emulated 32-bit Wine) tests the real package that the build command makes
// of the shipped folder, and a later build of that folder
// (HALVORAN_SHIPPED_PACKAGE, HALVORAN_SHIPPED_LATER_PACKAGE); its fakes are
// those its session put into the 32-bit system folder.
struct PackageUnderTest {
  std::string msi;
  std::string laterMsi;
};

PackageUnderTest ThisBuildsPackage() {
  std::string shipped = EnvironmentValue("HALVORAN_SHIPPED_PACKAGE");
  if (!shipped.empty()) return {shipped, EnvironmentValue("HALVORAN_SHIPPED_LATER_PACKAGE")};
  return {JoinPath(SelfDir(), "msi\\HalvoranSetup.msi"),
          JoinPath(SelfDir(), "msi\\later\\HalvoranSetup.msi")};
}

const char* const kPackagedFiles[] = {
    "HalvoranInstallWinApp.exe", "ModemInstallWinAppText.txt", "ModemUninstallWinAppText.txt",
    "Zorvane.inf", "devcon_32.exe", "devcon_64.exe", "grep.exe", "CPL64.exe", "README.txt"};
// What the fakes and the test panel keep in the current directory, and the
// panel's settings: nothing of the product.
const char* const kTestFiles[] = {"fake_calls.log", "fake_devices.txt", "fake_phonebook.txt",
                                  "fake_script.txt", "test_applet.ini", "test_applet.log"};
const char kProductName[] = "HalvoranInstallWinApp Application";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// [ProgramFilesFolder]Halvoran of a 32-bit package.
std::string InstallFolder() {
  char dir[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT, dir);
  return JoinPath(dir, "Halvoran");
}

// msiexec with an action and its package (a file, or an installed product's
// code), quiet; answers the program's boxes. msiexec's exit code.
long RunMsiexec(const char* action, const std::string& package, std::vector<int> answers = {},
                std::vector<SeenBox>* seen = nullptr) {
  BoxAnswerer answerer(kBoxCaption, std::move(answers), 0);
  long code = RunProcess(
      std::string("msiexec.exe ") + action + " " + QuoteArgument(package) + " /qn", SelfDir(),
      300000);
  answerer.Stop();
  if (seen) *seen = answerer.Seen();
  return code;
}

// A text value of an installed-programs entry (32-bit view).
std::string EntryValue(const std::string& entry, const char* value) {
  std::string key = std::string(kUninstallKey) + "\\" + entry;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                    &opened) != ERROR_SUCCESS)
    return std::string();
  char data[512] = {};
  DWORD size = sizeof data - 1, type = 0;
  LONG read = RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(opened);
  return read == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : std::string();
}

// The installed-programs entries of the product (32-bit view): their keys,
// which are the product codes.
std::vector<std::string> InstalledProgramsEntries() {
  std::vector<std::string> found;
  HKEY uninstall = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_32KEY,
                    &uninstall) != ERROR_SUCCESS)
    return found;
  char name[256];
  DWORD length = sizeof name;
  for (DWORD i = 0; RegEnumKeyExA(uninstall, i, name, &length, nullptr, nullptr, nullptr,
                                  nullptr) == ERROR_SUCCESS;
       ++i, length = sizeof name)
    if (EntryValue(name, "DisplayName") == kProductName) found.push_back(name);
  RegCloseKey(uninstall);
  return found;
}

// The files in the install folder besides the test's own, joined by blanks.
std::string ProductFilesLeft() {
  std::string left;
  for (const std::string& name : FolderEntries(InstallFolder(), true)) {
    bool testFile = false;
    for (const char* file : kTestFiles) testFile = testFile || lstrcmpiA(name.c_str(), file) == 0;
    if (!testFile) left += name + " ";
  }
  return left;
}

// A machine without the product: an install left by a run that did not end
// (of this package or an earlier build) is removed, and so is what the fakes
// kept in the install folder.
void StartWithoutProduct() {
  for (const std::string& installed : InstalledProgramsEntries()) RunMsiexec("/x", installed);
  for (const char* file : kTestFiles) DeleteFileA(JoinPath(InstallFolder(), file).c_str());
  RemoveDirectoryA(InstallFolder().c_str());
  UnstageDriverInf();
}

// One case: a machine without the product, the fakes in place of the system
// libraries, and the install folder made with the settings of the panel that
// the program opens; at the end, the machine without the product again.
class PackageCase {
 public:
  explicit PackageCase(bool panelAddsModem)
      : package(ThisBuildsPackage()), folder(InstallFolder()) {
    StartWithoutProduct();
    InstallTestPanels();
    // Wine's own setup library stays: msiexec and the device console load it
    // too, and it stages the INF for real. The 32-bit program, whose system
    // folder holds the fake, is told to take Wine's own.
    ready_ = fakestack::PlantSystemFakes({}, false);
    ChooseProgramSetupLibrary(false);
    CreateDirectoryA(folder.c_str(), nullptr);
    WritePanelSettings(folder, panelAddsModem);
  }
  ~PackageCase() {
    StartWithoutProduct();  // while the fakes are still the system's
    fakestack::RestoreSystemLibraries();
  }
  PackageCase(const PackageCase&) = delete;
  PackageCase& operator=(const PackageCase&) = delete;
  bool Ready() const { return ready_; }

  const PackageUnderTest package;
  const std::string folder;

 private:
  bool ready_ = false;
};

}  // namespace

TEST_CASE("the package installs the files, runs the program from the install folder, and its removal runs -u before the files go") {
  PackageCase c(true);
  REQUIRE(c.Ready());
  const std::string& folder = c.folder;

  std::vector<SeenBox> boxes;
  CHECK(RunMsiexec("/i", c.package.msi, {}, &boxes) == 0);
  CHECK(boxes.empty());
  for (const char* file : kPackagedFiles) CHECK_MESSAGE(FileExists(JoinPath(folder, file)), file);
  // The program under test is the one installed (the shipped i686 one in the
  // real package).
  std::string installed, underTest;
  CHECK(ReadWholeFile(JoinPath(folder, kProgramName), &installed));
  CHECK(ReadWholeFile(RealProgramPath(), &underTest));
  CHECK((!installed.empty() && installed == underTest));
  // The program's own results, in its current directory: the marker, and the
  // dial-up entry that the fake library keeps there.
  std::string marker = "x";
  CHECK(ReadWholeFile(JoinPath(folder, "tmp.txt"), &marker));
  CHECK(marker.empty());
  std::vector<fakestack::PhonebookEntry> book = fakestack::ReadPhonebook(folder);
  REQUIRE(book.size() == 1);
  CHECK(book[0].name == "Halvoran 3.2");
  CHECK(fakestack::TextAt(book[0].record, offsetof(RASENTRYA, szDeviceName), 129) ==
        "Zorvane PPP Data Modem");
  CHECK(FileExists(InfStoreFile("Zorvane.inf")));
  const std::vector<std::string> entries = InstalledProgramsEntries();
  REQUIRE(entries.size() == 1);
  CHECK(EntryValue(entries[0], "DisplayVersion") == "3.2.0.4232");
  CHECK(EntryValue(entries[0], "Publisher") == "Zorvane");

  DeleteFileA(JoinPath(folder, "fake_calls.log").c_str());
  CHECK(RunMsiexec("/x", c.package.msi, {}, &boxes) == 0);
  CHECK(boxes.empty());
  std::vector<fakestack::Call> calls = fakestack::ReadCalls(folder);
  std::vector<fakestack::Call> deleted = fakestack::CallsOf(calls, "rasapi32", "RasDeleteEntryA");
  REQUIRE(deleted.size() == 1);
  CHECK(deleted[0].Text("entry") == "Halvoran 3.2");
  CHECK(fakestack::ReadPhonebook(folder).empty());
  CHECK_FALSE(FileExists(InfStoreFile("Zorvane.inf")));
  CHECK(ProductFilesLeft() == "");  // the packaged files, the marker and the device list too
  CHECK(InstalledProgramsEntries().empty());
}

TEST_CASE("when the program fails, the package fails and nothing of it stays") {
  struct Row { const char* name; bool panelAddsModem; const char* script; const char* box; };
  const Row rows[] = {
      {"the user closes the panel without adding the modem", false, "",
       "Failed to install modem. Setup will exit."},
      // The program's own roll-back then runs the device console, which
      // leaves its list in the install folder.
      {"the dial-up entry cannot be written", true, "RasSetEntryPropertiesA 5\n",
       "Failed to configure dial up networking connection. Setup will exit."},
  };
  for (const Row& row : rows) {
    std::string name = row.name;
    CAPTURE(name);
    PackageCase c(row.panelAddsModem);
    REQUIRE(c.Ready());
    fakestack::WriteScript(c.folder, row.script);

    std::vector<SeenBox> boxes;
    long code = RunMsiexec("/i", c.package.msi, {IDOK}, &boxes);
    // Windows' msiexec reports ERROR_INSTALL_FAILURE (1603) here, Wine 8's
    // ERROR_FUNCTION_FAILED (1627).
    CHECK((code == 1603 || code == 1627));
    REQUIRE(boxes.size() == 1);
    CHECK(boxes[0].text == row.box);
    CHECK(ProductFilesLeft() == "");  // no packaged file, no marker, no device list
    CHECK_FALSE(FileExists(InfStoreFile("Zorvane.inf")));
    CHECK(InstalledProgramsEntries().empty());
  }
}

TEST_CASE("a later build installed over this one first removes it, with its -u, then runs its own -i") {
  PackageCase c(true);
  REQUIRE(c.Ready());
  const std::string& folder = c.folder;
  REQUIRE(RunMsiexec("/i", c.package.msi) == 0);
  DeleteFileA(JoinPath(folder, "fake_calls.log").c_str());

  CHECK(RunMsiexec("/i", c.package.laterMsi) == 0);
  std::vector<fakestack::Call> calls = fakestack::ReadCalls(folder);
  size_t removed = calls.size(), written = calls.size();
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].event == "RasDeleteEntryA" && calls[i].Text("entry") == "Halvoran 3.2")
      removed = std::min(removed, i);
    if (calls[i].event == "RasSetEntryPropertiesA") written = std::min(written, i);
  }
  CHECK(removed < written);
  CHECK(written < calls.size());
  CHECK(FileExists(JoinPath(folder, "tmp.txt")));
  CHECK(fakestack::ReadPhonebook(folder).size() == 1);
  const std::vector<std::string> entries = InstalledProgramsEntries();
  REQUIRE(entries.size() == 1);
  CHECK(EntryValue(entries[0], "DisplayVersion") == "3.2.0.4233");

  CHECK(RunMsiexec("/x", c.package.laterMsi) == 0);
  CHECK(ProductFilesLeft() == "");
  CHECK(InstalledProgramsEntries().empty());
}
