// The product package under Wine's Windows Installer: installed through the
// setup program, msiexec puts the files into Program Files and runs the program
// there with -i as the installing user; the install is refused before anything
// changes without a user interface; a failure after -i rolls -i back with -u;
// the removal from the list of installed programs runs -u before the files go.
//
// The program loads its libraries from the system folder, so the fake
// remote-access libraries stand in for the prefix's own system libraries while
// a case runs; they keep their state in the program's current directory, which
// is the install folder. Wine's own setup library stages the INF for real.
//
// What Wine cannot show: user accounts, UAC and its elevation prompt, sessions,
// and which token a custom action gets (Wine's installer always sets Privileged
// and AdminUser, and runs every action as the one user there is). The type bits
// and conditions that decide those on Windows are checked in the package itself.
#include <doctest.h>

#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <ras.h>
#include <shlobj.h>
#include <softpub.h>
#include <stddef.h>
#include <tlhelp32.h>
#include <wintrust.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/fake_stack.h"
#include "tests/installer/canary_link.h"
#include "tests/installer/package_under_test.h"
#include "tests/jobs/job_folder.h"
#include "tests/support/process.h"
#include "tests/support/program_run.h"
#include "tests/support/system_file.h"
#include "tests/support/window_driver.h"

namespace {

const char* const kPackagedFiles[] = {
    "HalvoranInstallWinApp.exe", "HalvoranSetup.exe", "ModemInstallWinAppText.txt",
    "ModemUninstallWinAppText.txt", "Zorvane.inf", "devcon_32.exe", "devcon_64.exe", "grep.exe",
    "CPL64.exe", "README.txt"};
// What the fakes and the test panel keep in the current directory, and the
// panel's settings: nothing of the product.
const char* const kTestFiles[] = {"fake_calls.log", "fake_devices.txt", "fake_phonebook.txt",
                                  "fake_script.txt", "test_applet.ini", "test_applet.log"};
const char kProductName[] = "HalvoranInstallWinApp Application";
const char kUpgradeCode[] = "{B783B90B-99FB-4BD9-9EED-50034C1EC85C}";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The package's own entry in the list of installed programs.
const char kOwnEntry[] = "HalvoranInstallWinApp";
const char kSilentRefusal[] =
    "HalvoranInstallWinApp Application is not installed without a user interface: its setup asks "
    "questions and waits while the user adds the modem in a control panel. Install it with "
    "HalvoranSetup.exe, at full or reduced user interface (not /qn or /qb).";

// What Windows' signature check (WinVerifyTrust, no user interface, no
// revocation) answers for a file: 0 for a valid signature, TRUST_E_NOSIGNATURE
// for none. Wine's check reads a program's digest, but trusts any authority and
// leaves a package's digest unchecked (measured).
LONG SignatureCheck(const std::string& path) {
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = wide;
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG answer = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return answer;
}

// [ProgramFilesFolder]Halvoran of a 32-bit package.
std::string InstallFolder() {
  char dir[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT, dir);
  return JoinPath(dir, "Halvoran");
}

// A command that installs or removes, run while the program's boxes are
// answered; its exit code.
long RunInstaller(const std::string& commandLine, std::vector<int> answers = {},
                  std::vector<SeenBox>* seen = nullptr) {
  BoxAnswerer answerer(kBoxCaption, std::move(answers), 0);
  long code = RunProcess(commandLine, SelfDir(), 300000);
  answerer.Stop();
  if (seen) *seen = answerer.Seen();
  return code;
}

// msiexec with an action, its package (a file, or an installed product's
// code) and a UI level.
long RunMsiexec(const char* action, const std::string& package, const char* uiLevel,
                std::vector<int> answers = {}, std::vector<SeenBox>* seen = nullptr) {
  return RunInstaller(std::string("msiexec.exe ") + action + " " + QuoteArgument(package) + " " +
                          uiLevel,
                      std::move(answers), seen);
}

// The installed builds of the product, by product code.
std::vector<std::string> InstalledProducts() {
  std::vector<std::string> found;
  char code[39];
  for (DWORD i = 0; MsiEnumRelatedProductsA(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i)
    found.push_back(code);
  return found;
}

HKEY OpenEntry(const std::string& entry) {
  HKEY opened = nullptr;
  const std::string key = std::string(kUninstallKey) + "\\" + entry;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                    &opened) != ERROR_SUCCESS)
    return nullptr;
  return opened;
}

// A value of an installed-programs entry (32-bit view): its text, or a
// number as decimal text; empty when absent.
std::string EntryValue(const std::string& entry, const char* value) {
  HKEY opened = OpenEntry(entry);
  if (!opened) return std::string();
  char data[512] = {};
  DWORD size = sizeof data - 1, type = 0;
  LONG read = RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(opened);
  if (read != ERROR_SUCCESS) return std::string();
  if (type == REG_DWORD) return std::to_string(*reinterpret_cast<const DWORD*>(data));
  return type == REG_SZ ? std::string(data) : std::string();
}

// The entries of the product in the list of installed programs (32-bit view),
// by key: the ones users see, or all of them.
std::vector<std::string> InstalledProgramsEntries(bool shownOnly) {
  std::vector<std::string> found;
  HKEY uninstall = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_32KEY,
                    &uninstall) != ERROR_SUCCESS)
    return found;
  char name[256];
  DWORD length = sizeof name;
  for (DWORD i = 0; RegEnumKeyExA(uninstall, i, name, &length, nullptr, nullptr, nullptr,
                                  nullptr) == ERROR_SUCCESS;
       ++i, length = sizeof name) {
    const bool hidden = EntryValue(name, "SystemComponent") == "1";
    if (EntryValue(name, "DisplayName") == kProductName && !(shownOnly && hidden))
      found.push_back(name);
  }
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

// Nothing of the product on the machine: no files, no entries, no INF.
void CheckNothingOfTheProduct() {
  CHECK(ProductFilesLeft() == "");
  CHECK_FALSE(FileExists(InfStoreFile("Zorvane.inf")));
  CHECK(InstalledProducts().empty());
  CHECK(InstalledProgramsEntries(false).empty());
}

// A machine without the product: an install left by a run that did not end
// (of this package or an earlier build) is removed, and so is what the fakes
// kept in the install folder.
void StartWithoutProduct() {
  CanaryLink::RemoveFrom(InstallFolder());
  for (const std::string& installed : InstalledProducts()) RunMsiexec("/x", installed, "/qn");
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

// The position of the first call of a function (with an entry name, when
// given) in the call log; calls.size() when there is none.
size_t FirstCall(const std::vector<fakestack::Call>& calls, const char* event,
                 const char* entry = nullptr) {
  for (size_t i = 0; i < calls.size(); ++i)
    if (calls[i].event == event && (!entry || calls[i].Text("entry") == entry)) return i;
  return calls.size();
}

// The actions that a verbose log (msiexec /l*v) names as started, in order.
std::vector<std::string> StartedActions(const std::string& log) {
  std::vector<std::string> actions;
  for (const std::string& line : FileLines(log)) {
    const size_t start = line.find("Action start ");
    const size_t name = line.find(": ", start);
    if (start == std::string::npos || name == std::string::npos) continue;
    actions.push_back(line.substr(name + 2, line.find_last_not_of(". ") - name - 1));
  }
  return actions;
}

// The position of an action in that list, from a position on; the list's size
// when it is not there.
size_t StartOf(const std::vector<std::string>& actions, const std::string& action,
               size_t from = 0) {
  return std::find(actions.begin() + std::min(from, actions.size()), actions.end(), action) -
         actions.begin();
}

// The copy of the setup program that its /x started in the temp folder, found
// by the folder name that holds the original's process id.
struct RemovalCopy {
  std::string folder;
  std::string program;
};

std::vector<RemovalCopy> RemovalCopiesOf(DWORD originalId) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string prefix = "HalvoranSetup-" + std::to_string(originalId) + "-";
  std::vector<RemovalCopy> copies;
  for (const std::string& name : FolderEntries(temp))
    if (name.compare(0, prefix.size(), prefix) == 0)
      copies.push_back({JoinPath(temp, name), JoinPath(JoinPath(temp, name), "HalvoranSetup.exe")});
  return copies;
}

// Waits for the child process of parentId with that file name (the parent may
// have ended); its exit code, -1 when none was found or it did not end in time.
long WaitForChildOf(DWORD parentId, const char* fileName, DWORD timeoutMs) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  DWORD id = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && !id;
       more = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == parentId && lstrcmpiA(entry.szExeFile, fileName) == 0)
      id = entry.th32ProcessID;
  CloseHandle(snapshot);
  HANDLE process = id ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id) : nullptr;
  if (!process) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process, &code))
    code = static_cast<DWORD>(-1);
  CloseHandle(process);
  return static_cast<long>(code);
}

const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// The files and folders that the system is to delete at the next restart
// (PendingFileRenameOperations: pairs of "\??\<path>" and an empty target)
// among those below folder, in order; they are taken out of the list, so that
// the test leaves the machine's list as it was.
std::vector<std::string> TakePendingDeletionsBelow(const std::string& folder) {
  HKEY key = nullptr;
  std::vector<std::string> taken;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                    &key) != ERROR_SUCCESS)
    return taken;
  std::vector<char> data(65536);
  DWORD size = static_cast<DWORD>(data.size()), type = 0;
  if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                       reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ) {
    std::string kept;
    const std::string below = "\\??\\" + folder;
    for (size_t at = 0; at < size && data[at] != '\0';) {
      const std::string source = data.data() + at;
      at += source.size() + 1;
      const std::string target = at < size ? data.data() + at : "";
      at += target.size() + 1;
      if (target.empty() && _strnicmp(source.c_str(), below.c_str(), below.size()) == 0)
        taken.push_back(source.substr(4));
      else
        kept += source + '\0' + target + '\0';
    }
    if (kept.empty())
      RegDeleteValueA(key, "PendingFileRenameOperations");
    else
      RegSetValueExA(key, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                     reinterpret_cast<const BYTE*>(kept.c_str()),
                     static_cast<DWORD>(kept.size() + 1));
  }
  RegCloseKey(key);
  return taken;
}

// The package's database, read-only, closed with the object.
class PackageDatabase {
 public:
  explicit PackageDatabase(const std::string& msi) {
    MsiOpenDatabaseA(msi.c_str(), MSIDBOPEN_READONLY, &database_);
  }
  ~PackageDatabase() {
    if (database_) MsiCloseHandle(database_);
  }
  PackageDatabase(const PackageDatabase&) = delete;
  PackageDatabase& operator=(const PackageDatabase&) = delete;

  // The text fields of a query's rows, tab-separated, one string per row.
  std::vector<std::string> Rows(const std::string& query, unsigned fields) const {
    std::vector<std::string> rows;
    MSIHANDLE view = 0, record = 0;
    if (!database_ || MsiDatabaseOpenViewA(database_, query.c_str(), &view) != ERROR_SUCCESS)
      return rows;
    MsiViewExecute(view, 0);
    while (MsiViewFetch(view, &record) == ERROR_SUCCESS) {
      std::string row;
      for (unsigned field = 1; field <= fields; ++field) {
        char text[1024] = {};
        DWORD size = sizeof text;
        MsiRecordGetStringA(record, field, text, &size);
        row += (field > 1 ? "\t" : "") + std::string(text);
      }
      rows.push_back(row);
      MsiCloseHandle(record);
    }
    MsiCloseHandle(view);
    return rows;
  }

 private:
  MSIHANDLE database_ = 0;
};

// One field of a row that Rows() gave.
std::string Field(const std::string& row, unsigned index) {
  size_t start = 0;
  for (unsigned i = 0; i < index; ++i) start = row.find('\t', start) + 1;
  return row.substr(start, row.find('\t', start) - start);
}

// The custom action type bits ("Custom Action In-Script Execution Options",
// "Custom Action Return Values", "Custom Action Type 19", "Custom Action Type 34").
constexpr int kErrorMessage = 19;             // type 19
constexpr int kExeInDirectory = 34;           // type 34
constexpr int kContinueOnReturn = 0x40;       // msidbCustomActionTypeContinue
constexpr int kRollback = 0x100;              // msidbCustomActionTypeRollback
constexpr int kInScript = 0x400;              // msidbCustomActionTypeInScript: deferred
constexpr int kNoImpersonate = 0x800;         // msidbCustomActionTypeNoImpersonate
constexpr int kTerminalServerAware = 0x4000;  // msidbCustomActionTypeTSAware

// The package opened as Windows Installer opens it for an install, without a
// user interface, so that conditions can be evaluated with chosen properties.
class OpenedPackage {
 public:
  explicit OpenedPackage(const std::string& msi) {
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    MsiOpenPackageA(msi.c_str(), &package_);
  }
  ~OpenedPackage() {
    if (package_) MsiCloseHandle(package_);
  }
  OpenedPackage(const OpenedPackage&) = delete;
  OpenedPackage& operator=(const OpenedPackage&) = delete;
  bool Opened() const { return package_ != 0; }

  void Set(const char* property, const char* value) { MsiSetPropertyA(package_, property, value); }
  bool Holds(const std::string& condition) {
    return MsiEvaluateConditionA(package_, condition.c_str()) == MSICONDITION_TRUE;
  }

 private:
  MSIHANDLE package_ = 0;
};

}  // namespace

TEST_CASE("the package's custom actions run the programs as the installing user, deferred, from the install folder") {
  PackageDatabase database(ThisBuildsPackage().msi);
  struct Row {
    const char* action;
    int type;
    const char* source;
    const char* target;
  };
  const int deferred = kExeInDirectory | kInScript | kTerminalServerAware;
  const Row rows[] = {
      {"RefuseWithoutRights", kErrorMessage, "",
       "HalvoranInstallWinApp Application needs administrator rights to be installed or removed. "
       "Start HalvoranSetup.exe, which asks for them, or remove the product from the list of "
       "installed programs."},
      {"RefuseWithoutUser", kErrorMessage, "", kSilentRefusal},
      {"SetUpProduct", deferred, "INSTALLDIR", "\"[INSTALLDIR]HalvoranInstallWinApp.exe\" -i"},
      {"TakeDownProduct", deferred | kContinueOnReturn, "INSTALLDIR",
       "\"[INSTALLDIR]HalvoranInstallWinApp.exe\" -u"},
      {"UndoSetUp", deferred | kRollback | kContinueOnReturn, "INSTALLDIR",
       "\"[INSTALLDIR]HalvoranSetup.exe\" /rollback"},
  };
  const std::vector<std::string> actions =
      database.Rows("SELECT `Action`, `Type`, `Source`, `Target` FROM `CustomAction`", 4);
  CHECK(actions.size() == std::size(rows));
  for (const Row& row : rows) {
    CAPTURE(std::string(row.action));
    auto found = std::find_if(actions.begin(), actions.end(), [&](const std::string& r) {
      return Field(r, 0) == row.action;
    });
    REQUIRE(found != actions.end());
    const int type = std::stoi(Field(*found, 1));
    CHECK(type == row.type);
    CHECK(Field(*found, 2) == row.source);
    CHECK(Field(*found, 3) == row.target);
    // No program runs as LocalSystem, and none outside the user's session.
    CHECK((type & kNoImpersonate) == 0);
    if (type & kInScript) CHECK((type & kTerminalServerAware) != 0);
  }

  // The sequence: the refusals before anything changes (InstallInitialize),
  // the roll-back action before the install action it undoes, -u while the
  // files are there.
  std::map<std::string, int> at;
  for (const std::string& r :
       database.Rows("SELECT `Action`, `Sequence` FROM `InstallExecuteSequence`", 2))
    at[Field(r, 0)] = std::stoi(Field(r, 1));
  CHECK(at["RefuseWithoutRights"] > 0);
  CHECK(at["RefuseWithoutUser"] > 0);
  CHECK(at["RefuseWithoutRights"] < at["RemoveExistingProducts"]);
  CHECK(at["RefuseWithoutUser"] < at["RemoveExistingProducts"]);
  CHECK(at["RemoveExistingProducts"] < at["InstallInitialize"]);
  CHECK(at["InstallFiles"] < at["UndoSetUp"]);
  CHECK(at["UndoSetUp"] < at["SetUpProduct"]);
  CHECK(at["TakeDownProduct"] < at["RemoveFiles"]);
  const std::vector<std::string> early =
      database.Rows("SELECT `Action` FROM `InstallUISequence` WHERE `Action`='RefuseWithoutRights'", 1);
  CHECK(early.size() == 1);

  // The hidden Windows Installer entry and the administrators' real rights.
  const std::vector<std::string> properties = database.Rows(
      "SELECT `Property`, `Value` FROM `Property` WHERE `Property`='ARPSYSTEMCOMPONENT' OR "
      "`Property`='MSIUSEREALADMINDETECTION'",
      2);
  CHECK(properties.size() == 2);
  for (const std::string& p : properties) CHECK(Field(p, 1) == "1");
}

TEST_CASE("the package refuses what needs a person or administrator rights, and runs the program only for a first install") {
  const std::string msi = ThisBuildsPackage().msi;
  PackageDatabase database(msi);
  std::map<std::string, std::string> condition;
  for (const std::string& r :
       database.Rows("SELECT `Action`, `Condition` FROM `InstallExecuteSequence`", 2))
    condition[Field(r, 0)] = Field(r, 1);
  // The UI sequence refuses with the execute sequence's condition.
  CHECK(database.Rows("SELECT `Condition` FROM `InstallUISequence` WHERE "
                      "`Action`='RefuseWithoutRights'",
                      1) == std::vector<std::string>{condition["RefuseWithoutRights"]});

  struct Row {
    const char* what;
    const char* uiLevel;
    const char* installed;
    const char* remove;
    bool administrator;  // Privileged and AdminUser
    bool refusedForRights, refusedForUser, runsSetUp, runsTakeDown;
  };
  const Row rows[] = {
      {"first install, full UI", "5", "", "", true, false, false, true, false},
      {"first install, reduced UI (/qr)", "4", "", "", true, false, false, true, false},
      {"first install, basic UI (/qb)", "3", "", "", true, false, true, true, false},
      {"first install, no UI (/qn)", "2", "", "", true, false, true, true, false},
      {"first install without administrator rights", "5", "", "", false, true, false, true, false},
      {"removal, no UI", "2", "1", "ALL", true, false, false, false, true},
      {"removal without administrator rights", "5", "1", "ALL", false, true, false, false, true},
      {"repair, no UI", "2", "1", "", true, false, false, false, false},
  };
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    OpenedPackage package(msi);
    REQUIRE(package.Opened());
    package.Set("UILevel", row.uiLevel);
    package.Set("Installed", row.installed);
    package.Set("REMOVE", row.remove);
    package.Set("Privileged", row.administrator ? "1" : "");
    package.Set("AdminUser", row.administrator ? "1" : "");
    CHECK(package.Holds(condition["RefuseWithoutRights"]) == row.refusedForRights);
    CHECK(package.Holds(condition["RefuseWithoutUser"]) == row.refusedForUser);
    CHECK(package.Holds(condition["SetUpProduct"]) == row.runsSetUp);
    CHECK(package.Holds(condition["UndoSetUp"]) == row.runsSetUp);
    CHECK(package.Holds(condition["TakeDownProduct"]) == row.runsTakeDown);
  }
  // Administrator rights granted by policy alone (Privileged without AdminUser)
  // do not reach an impersonated action: refused too.
  OpenedPackage package(msi);
  REQUIRE(package.Opened());
  package.Set("Privileged", "1");
  package.Set("AdminUser", "");
  CHECK(package.Holds(condition["RefuseWithoutRights"]));
}

TEST_CASE("the install folder is locked: full control for administrators, reading and running for everyone else") {
  PackageDatabase database(ThisBuildsPackage().msi);
  CHECK(database.Rows("SELECT `Directory_`, `Component_` FROM `CreateFolder`", 2) ==
        std::vector<std::string>{"INSTALLDIR\tProgram"});
  std::vector<std::string> locks = database.Rows(
      "SELECT `LockObject`, `Table`, `Domain`, `User`, `Permission` FROM `LockPermissions`", 5);
  std::sort(locks.begin(), locks.end());
  const std::string readAndRun = std::to_string(static_cast<int>(GENERIC_READ | GENERIC_EXECUTE));
  CHECK(locks == std::vector<std::string>{
                     "INSTALLDIR\tCreateFolder\t\tAdministrators\t" + std::to_string(GENERIC_ALL),
                     "INSTALLDIR\tCreateFolder\t\tEveryone\t" + readAndRun});
}

TEST_CASE("an install below reduced UI ends before anything changes, with Windows Installer's failure and the reason") {
  // Windows Installer's own client, as an administrator would run it, and the
  // setup program passing its options on. Wine's installer shows the reason
  // of an error action in a box captioned "Error" at basic UI and leaves it
  // out of its log; Windows writes it into the log at every UI level.
  struct Row {
    const char* what;
    bool throughSetup;
    const char* uiLevel;
    bool showsReason;
  };
  const Row rows[] = {
      {"msiexec /i /qn", false, "/qn", false},
      {"HalvoranSetup.exe /qn", true, "/qn", false},
      {"HalvoranSetup.exe /qb", true, "/qb", true},
  };
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    PackageCase c(true);
    REQUIRE(c.Ready());
    const std::string log = JoinPath(SelfDir(), "msi\\refused.log");
    DeleteFileA(log.c_str());
    const std::string options = std::string(row.uiLevel) + " /l*v " + QuoteArgument(log);
    BoxAnswerer reason("Error", {IDOK}, 0);
    std::vector<SeenBox> boxes;
    const long code =
        row.throughSetup
            ? RunInstaller(QuoteArgument(c.package.setupProgram) + " " + options, {}, &boxes)
            : RunInstaller("msiexec.exe /i " + QuoteArgument(c.package.msi) + " " + options, {},
                           &boxes);
    reason.Stop();
    CHECK(code == ERROR_INSTALL_FAILURE);
    CHECK(boxes.empty());
    REQUIRE(reason.Seen().size() == (row.showsReason ? 1u : 0u));
    if (row.showsReason) CHECK(reason.Seen()[0].text == kSilentRefusal);
    // The program never started: no call of the fakes, no dialog, no marker.
    CHECK_FALSE(FileExists(JoinPath(c.folder, "fake_calls.log")));
    CheckNothingOfTheProduct();
    const std::vector<std::string> started = StartedActions(log);
    CHECK(StartOf(started, "RefuseWithoutUser") < started.size());
    CHECK(StartOf(started, "InstallInitialize") == started.size());
  }
}

TEST_CASE("the setup program installs the package at reduced UI, and the entry in the list of installed programs removes it through a copy of the setup program") {
  PackageCase c(true);
  REQUIRE(c.Ready());
  const std::string& folder = c.folder;

  std::vector<SeenBox> boxes;
  CHECK(RunInstaller(QuoteArgument(c.package.setupProgram) + " /qr", {}, &boxes) == 0);
  CHECK(boxes.empty());
  // The installed programs are signed exactly when the package is (the real
  // package is signed by the test command): they were signed before packing.
  const LONG packageSignature = SignatureCheck(c.package.msi);
  for (const char* file : kPackagedFiles) {
    CAPTURE(std::string(file));
    CHECK(FileExists(JoinPath(folder, file)));
    const std::string name = file;
    if (lstrcmpiA(name.substr(name.size() - 4).c_str(), ".exe") == 0)
      CHECK(SignatureCheck(JoinPath(folder, file)) == packageSignature);
  }
  // The programs under test are the ones installed (the shipped i686 ones in
  // the real package).
  CHECK(FileText(JoinPath(folder, kProgramName)) == FileText(RealProgramPath()));
  CHECK(FileText(JoinPath(folder, "HalvoranSetup.exe")) == FileText(c.package.setupProgram));
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

  // One entry shows in the list of installed programs, the package's own;
  // Windows Installer's is hidden.
  const std::vector<std::string> products = InstalledProducts();
  REQUIRE(products.size() == 1);
  CHECK(InstalledProgramsEntries(true) == std::vector<std::string>{kOwnEntry});
  CHECK(InstalledProgramsEntries(false).size() == 2);
  CHECK(EntryValue(kOwnEntry, "DisplayVersion") == "3.2.0.4232");
  CHECK(EntryValue(kOwnEntry, "Publisher") == "Zorvane");
  CHECK(EntryValue(kOwnEntry, "NoModify") == "1");
  CHECK(EntryValue(kOwnEntry, "NoRepair") == "1");
  const std::string uninstall = EntryValue(kOwnEntry, "UninstallString");
  CHECK(uninstall == "\"" + JoinPath(folder, "HalvoranSetup.exe") + "\" /x " + products[0]);

  // The removal, as the list of installed programs starts it: the setup
  // program hands over to its copy and ends; the copy runs msiexec /x.
  DeleteFileA(JoinPath(folder, "fake_calls.log").c_str());
  ChildProcess original;
  {
    BoxAnswerer answerer(kBoxCaption, {}, 0);
    REQUIRE(original.Start(uninstall, SelfDir()));
    CHECK(original.Wait(60000) == 0);
    const std::vector<RemovalCopy> copies = RemovalCopiesOf(original.Id());
    REQUIRE(copies.size() == 1);
    CHECK(WaitForChildOf(original.Id(), "HalvoranSetup.exe", 300000) == 0);
    answerer.Stop();
    CHECK(answerer.Seen().empty());
    // The system deletes the copy, then its folder, at the next restart; the
    // test does it now.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    CHECK(TakePendingDeletionsBelow(temp) ==
          std::vector<std::string>{copies[0].program, copies[0].folder});
    CHECK(DeleteFileA(copies[0].program.c_str()));
    CHECK(RemoveDirectoryA(copies[0].folder.c_str()));
  }
  std::vector<fakestack::Call> calls = fakestack::ReadCalls(folder);
  std::vector<fakestack::Call> deleted = fakestack::CallsOf(calls, "rasapi32", "RasDeleteEntryA");
  REQUIRE(deleted.size() == 1);
  CHECK(deleted[0].Text("entry") == "Halvoran 3.2");
  CHECK(fakestack::ReadPhonebook(folder).empty());
  CheckNothingOfTheProduct();  // the packaged files, the marker and the device list too
}

TEST_CASE("a failed install is rolled back: the package's files and entries go, and its roll-back step runs") {
  // Windows runs the roll-back script in reverse: the roll-back step (UndoSetUp)
  // runs before the files go, and runs -u when -i had completed (the next case
  // runs it so). Wine 8 runs a roll-back action only after it has removed the
  // package's files (measured: the log names it last), so here the step finds
  // nothing to run.
  struct Row {
    const char* name;
    bool failingVariant;  // fails after -i has completed
    bool panelAddsModem;
    const char* script;
    const char* box;  // the program's failure box; none when -i completed
    bool linkNamedMarker;
  };
  const Row rows[] = {
      {"the user closes the panel without adding the modem", false, false, "",
       "Failed to install modem. Setup will exit.", false},
      // The program's own roll-back then runs the device console, which
      // leaves its list in the install folder.
      {"the dial-up entry cannot be written", false, true, "RasSetEntryPropertiesA 5\n",
       "Failed to configure dial up networking connection. Setup will exit.", false},
      {"a deferred action after the program's install fails", true, true, "", nullptr, false},
      // A link named tmp.txt to a folder: the program cannot leave its marker
      // there, and the roll-back neither deletes the link nor anything behind it.
      {"the program fails, with a link named tmp.txt in the install folder", false, false, "",
       "Failed to install modem. Setup will exit.", true},
  };
  for (const Row& row : rows) {
    std::string name = row.name;
    CAPTURE(name);
    PackageCase c(row.panelAddsModem);
    REQUIRE(c.Ready());
    fakestack::WriteScript(c.folder, row.script);
    std::optional<CanaryLink> link;
    if (row.linkNamedMarker) {
      link.emplace(c.folder);
      REQUIRE(link->Made());
    }
    const std::string log = JoinPath(SelfDir(), "msi\\failed.log");
    DeleteFileA(log.c_str());

    std::vector<SeenBox> boxes;
    const std::string options = "/qr /l*v " + QuoteArgument(log);
    const long code = RunMsiexec("/i", row.failingVariant ? c.package.failingMsi : c.package.msi,
                                 options.c_str(), {IDOK}, &boxes);
    // Windows' msiexec reports ERROR_INSTALL_FAILURE (1603) here, Wine 8's
    // ERROR_FUNCTION_FAILED (1627).
    CHECK((code == 1603 || code == 1627));
    REQUIRE(boxes.size() == (row.box ? 1u : 0u));
    if (row.box) CHECK(boxes[0].text == row.box);
    const std::vector<std::string> started = StartedActions(log);
    const size_t failed = StartOf(started, row.failingVariant ? "FailAfterSetUp" : "SetUpProduct");
    CHECK(failed < started.size());
    CHECK(StartOf(started, "UndoSetUp", failed) < started.size());
    if (link) CHECK(link->Intact());
    link.reset();
    CHECK(ProductFilesLeft() == "");  // no packaged file, no marker, no device list
    CHECK(InstalledProducts().empty());
    CHECK(InstalledProgramsEntries(false).empty());
  }
}

TEST_CASE("the roll-back step on the installed files runs -u only after a completed -i, and deletes its leftovers") {
  // As the package's roll-back runs it on Windows, before the files go: from
  // the install folder, as its current directory.
  struct Row {
    const char* name;
    bool marker;  // tmp.txt is there when the step runs
  };
  const Row rows[] = {
      {"-i completed: its marker is there", true},
      {"-i did not complete: no marker", false},
  };
  for (const Row& row : rows) {
    std::string name = row.name;
    CAPTURE(name);
    PackageCase c(true);
    REQUIRE(c.Ready());
    REQUIRE(RunMsiexec("/i", c.package.msi, "/qr") == 0);
    const std::string marker = JoinPath(c.folder, "tmp.txt");
    REQUIRE(FileExists(marker));
    if (!row.marker) REQUIRE(DeleteFileA(marker.c_str()));
    REQUIRE(WriteWholeFile(JoinPath(c.folder, "devcon_modem.txt"), "ROOT\\MODEM\\0000\r\n"));
    DeleteFileA(JoinPath(c.folder, "fake_calls.log").c_str());

    const std::string step = JoinPath(c.folder, "HalvoranSetup.exe");
    CHECK(RunInstaller(QuoteArgument(step) + " /rollback", {}) == 0);

    const std::vector<fakestack::Call> calls = fakestack::ReadCalls(c.folder);
    CHECK((FirstCall(calls, "RasDeleteEntryA", "Halvoran 3.2") < calls.size()) == row.marker);
    CHECK(fakestack::ReadPhonebook(c.folder).empty() == row.marker);
    CHECK(FileExists(InfStoreFile("Zorvane.inf")) == !row.marker);
    CHECK_FALSE(FileExists(JoinPath(c.folder, "devcon_modem.txt")));
    CHECK_FALSE(FileExists(marker));
  }
}

TEST_CASE("a later build installed over this one first removes it, with its -u, then runs its own -i") {
  PackageCase c(true);
  REQUIRE(c.Ready());
  const std::string& folder = c.folder;
  REQUIRE(RunMsiexec("/i", c.package.msi, "/qr") == 0);
  DeleteFileA(JoinPath(folder, "fake_calls.log").c_str());

  CHECK(RunMsiexec("/i", c.package.laterMsi, "/qr") == 0);
  std::vector<fakestack::Call> calls = fakestack::ReadCalls(folder);
  const size_t removed = FirstCall(calls, "RasDeleteEntryA", "Halvoran 3.2");
  const size_t written = FirstCall(calls, "RasSetEntryPropertiesA");
  CHECK(removed < written);
  CHECK(written < calls.size());
  CHECK(FileExists(JoinPath(folder, "tmp.txt")));
  CHECK(fakestack::ReadPhonebook(folder).size() == 1);
  CHECK(InstalledProgramsEntries(true) == std::vector<std::string>{kOwnEntry});
  CHECK(EntryValue(kOwnEntry, "DisplayVersion") == "3.2.0.4233");

  CHECK(RunMsiexec("/x", c.package.laterMsi, "/qn") == 0);
  CheckNothingOfTheProduct();
}
