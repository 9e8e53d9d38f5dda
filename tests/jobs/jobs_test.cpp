// The three jobs end to end. The in-process runs (job_runner) show the order of
// everything a job did: status lines, boxes, and the calls the fake libraries
// saw. The runs of the real program show what a caller and the user see: the
// exit code, the marker, and what the job left on the machine.
#include <doctest.h>

#include <windows.h>
#include <ras.h>
#include <rasdlg.h>
#include <setupapi.h>
#include <shlobj.h>
#include <stddef.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/fakes/fake_stack.h"
#include "tests/jobs/job_folder.h"
#include "tests/support/program_run.h"
#include "tests/support/process.h"
#include "tests/support/registry_scratch.h"
#include "tests/support/scratch.h"
#include "tests/support/system_file.h"
#include "tests/support/test_devices.h"
#include "tests/support/wine_app_defaults.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"

namespace {

const char kCheck[] = "status Checking for previous installation ...\r\n";
const char kFound[] = "status Found previous installation\r\n";
const char kQuestion[] =
    "box Setup has detected a previous installation of Halvoran v2.0. This will be "
    "automatically uninstalled. Continue?";
const char kRemoved[] = "box The previous installation has been successfully removed.";
const char kBoxA[] = "box Failed to clean up previous Halvoran Installation. Setup will exit.";
const char kBoxB[] = "box Failed to install driver file. Setup will exit.";
const char kBoxC[] = "box Failed to install modem. Setup will exit.";
const char kBoxD[] = "box Failed to configure dial up networking connection. Setup will exit.";
const char kStaging[] = "status Installing setup file\n";
const char kCopied[] = "status Successfully copied setup file\n";
const char kAlready[] = "status Setup file already installed\n";
const char kWaiting[] = "status Waiting for user to set up modem...\n";
const char kModemThere[] = "status Modem already installed\n";
const char kEntry[] = "status Setting up dial up networking connection...\n";
const char kRemoving[] = "status Removing modem ...\r\n";
const char kCopy[] = "setupapi SetupCopyOEMInfA";
const char kUninstallInf[] = "setupapi SetupUninstallOEMInfA";
const char kListStore[] = "setupapi SetupGetInfFileListA";
const char kEnum[] = "rasapi32 RasEnumDevicesA";
const char kDelete[] = "rasapi32 RasDeleteEntryA";
const char kWriteEntry[] = "rasapi32 RasSetEntryPropertiesA";
const char kWriteParams[] = "rasapi32 RasSetEntryDialParamsA";
const char kDial[] = "rasdlg RasDialDlgA";

struct JobCase {
  const char* name;
  const char* job;
  const char* probes;     // "<wow64> <windows7>"
  // e: earlier release, s: INF staged, m: modem present, p: panel adds modem,
  // w: the store names copies as Windows does (s: oem1.inf, 2: a second copy
  // oem2.inf, o: another vendor's oem0.inf). What the job left ends the
  // transcript: the store's INFs ("store <name>"), the phonebook ("phonebook
  // <names>"), and with release 2.0 its folder ("old holds <names>" or "old
  // gone") and "release records" while any of its keys stay.
  const char* machine;
  const char* script;     // fake_script.txt
  const char* answers;
  int result;
  std::vector<std::string> inOrder;
  std::vector<std::string> absent;
};

bool Has(const char* flags, char flag) { return strchr(flags, flag) != nullptr; }

long RunJob(const JobFolder& folder, const JobCase& c) {
  std::string line = "\"" + folder.Path("job_runner.exe") + "\" " + c.job + " " + c.probes + " " +
                     c.answers;
  return RunProcess(line, folder.dir, 120000);
}

}  // namespace

TEST_CASE("each job runs its steps in order, shows its boxes before any roll-back, and stops at the first failure") {
  InstallTestPanels();
  const JobCase cases[] = {
      {"fresh install", "install", "0 1", "p", "", "", 1,
       {kStaging, kCopy, kCopied, kEnum, kWaiting, kEnum, kDelete, kEntry, kWriteEntry, kWriteParams,
        "exitcode 0"},
       {kCheck, kRemoving, kUninstallInf, kBoxA, kBoxB, kBoxC, kBoxD}},
      {"second install", "install", "0 1", "sm", "", "", 1,
       {kStaging, kCopy, kAlready, kModemThere, kEnum, kEntry, kWriteEntry, kWriteParams},
       {kWaiting, kCopied, kBoxC}},
      {"earlier release declined", "install", "1 1", "ep", "", "cancel", 0,
       {kCheck, kFound, kQuestion, kBoxA, "exitcode 1602", "old holds bin tervgui.exe",
        "release records"},
       {kCopy, kEnum, "status Removing Registry Keys ...\r\n"}},
      {"earlier release removed", "install", "1 1", "ep", "", "ok ok", 1,
       {kCheck, kFound, kQuestion, "status Removing Registry Keys ...\r\n",
        "status Removing Files ...\r\n", "status Removing Program Group...\r\n", kRemoved,
        kStaging, kCopy, kWaiting, kWriteEntry, kWriteParams, "phonebook Halvoran 3.2", "old holds"},
       {kBoxA, "release records"}},
      // A failed write of the dial parameters leaves the entry; the removed
      // release keeps only its (emptied) folder.
      {"dial parameters not written after the earlier release went", "install", "1 1", "ep",
       "RasSetEntryDialParamsA 5\n", "ok ok", 0,
       {kRemoved, kWriteParams, kBoxD, "phonebook Halvoran 3.2", "old holds"}, {"release records"}},
      {"no earlier release on 64-bit Windows", "install", "1 1", "p", "", "", 1,
       {kCheck, kStaging}, {kFound, kQuestion}},
      {"INF not staged", "install", "0 1", "p", "SetupCopyOEMInfA failed\n", "", 0,
       {kStaging, kCopy, kBoxB, "exitcode 1603"}, {kEnum, kWaiting, kUninstallInf, kCopied}},
      {"modem not added", "install", "0 1", "", "", "", 0,
       {kCopied, kWaiting, kEnum, kBoxC, kUninstallInf}, {kEntry, kRemoving, kDelete}},
      {"entry not written", "install", "0 1", "p", "RasSetEntryPropertiesA 5\n", "", 0,
       {kWaiting, kEntry, kWriteEntry, kBoxD, kRemoving, kUninstallInf}, {kWriteParams}},
      {"dial parameters not written", "install", "0 1", "p", "RasSetEntryDialParamsA 5\n", "", 0,
       {kWriteEntry, kWriteParams, kBoxD, kRemoving, kUninstallInf}, {}},
      {"uninstall", "uninstall", "0 1", "", "", "", 1, {kDelete, kRemoving, kUninstallInf}, {kBoxA}},
      {"modem not added, Windows' store names", "install", "0 1", "wo", "", "", 0,
       {kCopied, kBoxC, kListStore, kUninstallInf, "store oem0.inf"}, {"store oem1.inf", kRemoving}},
      {"entry not written, Windows' store names", "install", "0 1", "wpo", "RasSetEntryPropertiesA 5\n", "", 0,
       {kBoxD, kRemoving, kListStore, kUninstallInf, "store oem0.inf"}, {"store oem1.inf"}},
      {"uninstall, two copies under Windows' store names", "uninstall", "0 1", "ws2o", "", "", 1,
       {kDelete, kRemoving, kListStore, kUninstallInf, kUninstallInf, "store oem0.inf"},
       {"store oem1.inf", "store oem2.inf"}},
      {"launch", "launch", "0 1", "", "", "", 1,
       {"status Launching Zorvane Halvoran...", kDial}, {kEnum, kCopy}},
  };
  for (const JobCase& c : cases) {
    std::string name = c.name;
    CAPTURE(name);
    ClearProductRecords();
    JobFolder folder(std::string("runner-") + std::to_string(&c - cases), true);
    folder.SetPanel(Has(c.machine, 'p'));
    if (Has(c.machine, 'e')) folder.SeedEarlierRelease();
    if (Has(c.machine, 'm')) fakestack::WriteDevices(folder.dir, {{"modem", "Zorvane PPP Data Modem"}});
    const bool windows = Has(c.machine, 'w');
    if (Has(c.machine, 's'))
      fakestack::SeedStoreCopy(folder.dir, windows ? "oem1.inf" : "Zorvane.inf", "Zorvane.inf",
                               folder.Path("Zorvane.inf"));
    if (Has(c.machine, '2'))
      fakestack::SeedStoreCopy(folder.dir, "oem2.inf", "Zorvane.inf", folder.Path("Zorvane.inf"));
    if (Has(c.machine, 'o')) {
      WriteWholeFile(folder.Path("Other.inf"), "[Version]\r\n; another vendor's\r\n");
      fakestack::SeedStoreCopy(folder.dir, "oem0.inf", "Other.inf", folder.Path("Other.inf"));
    }
    fakestack::WriteScript(folder.dir, std::string(windows ? "InfStore windows\n" : "") + c.script);

    CHECK(RunJob(folder, c) == c.result);
    std::vector<std::string> events = Transcript(folder.dir);
    for (const std::string& inf : fakestack::StagedInfs(folder.dir)) events.push_back("store " + inf);
    std::string book = "phonebook";
    for (const fakestack::PhonebookEntry& entry : fakestack::ReadPhonebook(folder.dir)) book += " " + entry.name;
    events.push_back(book);
    if (Has(c.machine, 'e')) {
      const std::set<std::string> names = FolderEntries(folder.Path("old"));
      std::string old = "old holds";
      for (const std::string& name : names) old += " " + name;
      events.push_back(FileExists(folder.Path("old")) ? old : "old gone");
      if (KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Tervaloxen") ||
          KeyExists(HKEY_CURRENT_USER, "Software\\Tervaloxen"))
        events.push_back("release records");
    }
    std::string all;
    for (const std::string& e : events) all += e + " | ";
    CAPTURE(all);
    CHECK(FirstMissingInOrder(events, c.inOrder) == "");
    for (const std::string& gone : c.absent) CHECK_MESSAGE(!ContainsLine(events, gone), gone);
  }
  ClearProductRecords();
}

// --- The real program -------------------------------------------------------
// These cases run on both builds: the x86_64 one here, and the shipped i686 one
// in the emulated 32-bit Wine's 64-bit Windows (tests labelled i686), where
// the program is under WOW64 for real.

TEST_SUITE_BEGIN("program");

namespace {

// The record sizes of the program under test (the XP layouts of its build).
size_t EntrySize() { return ProgramIs32Bit() ? 2884 : sizeof(RASENTRYA); }
size_t DialParamsSize() { return ProgramIs32Bit() ? 1060 : sizeof(RASDIALPARAMSA); }
size_t DialDlgSize() { return ProgramIs32Bit() ? 36 : sizeof(RASDIALDLG); }
size_t DialDlgOwnerAt() { return ProgramIs32Bit() ? 4 : offsetof(RASDIALDLG, hwndOwner); }

const char kAutoDialKey[] = "Software\\Microsoft\\RAS AutoDial\\Default";

// Runs the program in the folder with one switch, answering its boxes; the exit code.
// The program's status line each time one of its boxes came ("status <text>").
DWORD g_programId;
std::vector<std::string> g_statusAtBoxes;
void NoteStatusLine(const SeenBox&) {
  HWND dialog = FindDialogWithControl(g_programId, IDC_INSTRUCTION_TEXT);
  std::string line = dialog ? ItemText(dialog, IDC_STATUS_TEXT) : "(no dialog)";
  g_statusAtBoxes.push_back("status " + line.substr(0, line.find_last_not_of("\r\n") + 1));
}

long RunProgram(const JobFolder& folder, const char* arguments, std::vector<int> answers = {},
                std::vector<SeenBox>* seen = nullptr) {
  CopyFileTo(RealProgramPath(), folder.Path(kProgramName));
  folder.ChooseSetupLibrary();
  ChildProcess program;
  if (!program.Start(folder.Path(kProgramName), std::string(kProgramName) + " " + arguments,
                     folder.dir))
    return -2;
  g_programId = program.Id();
  g_statusAtBoxes.clear();
  BoxAnswerer answerer(kBoxCaption, std::move(answers), program.Id(), NoteStatusLine);
  long code = program.Wait(120000);
  answerer.Stop();
  if (seen) *seen = answerer.Seen();
  return code;
}

}  // namespace

TEST_CASE("install on the real program: entry, credentials, AutoDial, marker and exit code, twice") {
  InstallTestPanels();
  ClearProductRecords();
  UnstageDriverInf();
  WineAppDefaults windows7(kProgramName);
  windows7.SetVersion("win7");
  JobFolder folder("program-install", false);
  folder.SetPanel(true);
  WriteWholeFile(folder.Path("tmp.txt"), "left by an earlier run");
  SetStringValue(HKEY_CURRENT_USER, kAutoDialKey, "DefaultInternet", "Halvoran 3.2");

  std::vector<SeenBox> boxes;
  CHECK(RunProgram(folder, "-i", {}, &boxes) == 0);
  CHECK(boxes.empty());
  std::string marker = "x";
  CHECK(ReadWholeFile(folder.Path("tmp.txt"), &marker));
  CHECK(marker.empty());
  CHECK(FileExists(InfStoreFile("Zorvane.inf")));
  CHECK_FALSE(ValueExists(HKEY_CURRENT_USER, kAutoDialKey, "DefaultInternet"));

  std::vector<fakestack::PhonebookEntry> book = fakestack::ReadPhonebook(folder.dir);
  REQUIRE(book.size() == 1);
  CHECK(book[0].name == "Halvoran 3.2");
  CHECK(fakestack::DwordAt(book[0].record, 0) == EntrySize());
  CHECK(book[0].record.size() == EntrySize());
  CHECK(fakestack::DwordAt(book[0].params, 0) == DialParamsSize());
  CHECK(book[0].params.size() == DialParamsSize());
  CHECK(fakestack::TextAt(book[0].record, offsetof(RASENTRYA, szDeviceName), 129) ==
        "Zorvane PPP Data Modem");
  CHECK(fakestack::TextAt(book[0].params, offsetof(RASDIALPARAMSA, szUserName), 257) == "KX4.7");
  CHECK(fakestack::TextAt(book[0].params, offsetof(RASDIALPARAMSA, szPassword), 257) == "KX4.7");

  // Byte for byte what this build's own job code writes in-process (the
  // shipped i686 program against the x86_64 objects: the same layout but for
  // dwSize of the parameters and their pointer-sized callback id).
  JobFolder reference("program-install-reference", true);
  reference.SetPanel(true);
  REQUIRE(RunProcess("\"" + reference.Path("job_runner.exe") + "\" install 0 1", reference.dir,
                     120000) == 1);
  std::vector<fakestack::PhonebookEntry> expected = fakestack::ReadPhonebook(reference.dir);
  REQUIRE(expected.size() == 1);
  CHECK(book[0].record == expected[0].record);
  const size_t callbackAt = offsetof(RASDIALPARAMSA, dwCallbackId);
  CHECK(book[0].params.substr(4, callbackAt - 4) == expected[0].params.substr(4, callbackAt - 4));

  // Again on the same machine: the INF and the modem are there already.
  DeleteFileA(folder.Path("tmp.txt").c_str());
  CHECK(RunProgram(folder, "-i") == 0);
  CHECK(FileExists(folder.Path("tmp.txt")));
  CHECK(fakestack::ReadPhonebook(folder.dir).size() == 1);
  UnstageDriverInf();
}

TEST_CASE("install on the real program uses the system's libraries and rundll32, none planted beside it") {
  // The program in a folder of its own; it and the current folder hold
  // libraries lacking an entry point (a bind through one would fail, and the
  // fakes note the path of every load) and a rundll32.exe that would note its
  // start. On Windows XP the panel opens through rundll32.
  InstallTestPanels();
  ClearProductRecords();
  WineAppDefaults windowsXp(kProgramName);
  windowsXp.SetVersion("winxp");
  JobFolder folder("program-planted", true);
  folder.SetPanel(true);
  const std::string program = folder.Path("program");
  REQUIRE(CreateDirectoryA(program.c_str(), nullptr));
  REQUIRE(CopyFileTo(RealProgramPath(), JoinPath(program, kProgramName)));
  REQUIRE(CopyFileTo(folder.Path("Zorvane.inf"), JoinPath(program, "Zorvane.inf")));
  for (const std::string& place : {program, folder.dir}) {
    for (const char* decoy : {"rasapi32-no-RasEnumDevicesA", "rasdlg-no-RasDialDlgA",
                              "setupapi-no-SetupCopyOEMInfA"})
      REQUIRE(CopyFileTo(fakestack::VariantPath(decoy), JoinPath(place, fakestack::VariantLibrary(decoy))));
    REQUIRE(CopyFileTo(BinPath("scripted_devcon.exe"), JoinPath(place, "rundll32.exe")));
  }

  ChildProcess run;
  REQUIRE(run.Start(JoinPath(program, kProgramName), std::string(kProgramName) + " -i", folder.dir));
  BoxAnswerer answerer(kBoxCaption, {}, run.Id());
  CHECK(run.Wait(120000) == 0);
  answerer.Stop();
  CHECK(answerer.Seen().empty());
  CHECK(FileExists(folder.Path("tmp.txt")));
  CHECK(ContainsLine(FileLines(folder.Path("test_applet.log")), "modem.cpl closed 0 ok"));
  CHECK_FALSE(FileExists(folder.Path("devcon_calls.txt")));  // no planted rundll32 ran

  std::vector<fakestack::Call> calls = fakestack::ReadCalls(folder.dir);
  CHECK(fakestack::CountOf(calls, "rasapi32", "attach") >= 2);
  CHECK(fakestack::CountOf(calls, "setupapi", "attach") == 1);
  for (const fakestack::Call& call : calls) {
    if (call.event != "attach") continue;
    // The 32-bit program names its system folder system32 too (redirected to syswow64).
    CHECK(call.Text("module") == JoinPath(SystemFolder(SystemSide::Native), call.library + ".dll"));
  }
}

TEST_CASE("a failed install shows its box, rolls back, leaves an old marker as it was and exits with 1603") {
  struct Case {
    const char* name;
    bool inf;              // the driver INF is there to stage
    bool panelAddsModem;
    const char* script;
    const char* box;
    size_t unstaged;       // SetupUninstallOEMInfA calls of the roll-back
  };
  const Case cases[] = {
      {"B: INF not staged", false, true, "", "Failed to install driver file. Setup will exit.", 0},
      {"C: modem not added", true, false, "", "Failed to install modem. Setup will exit.", 1},
      {"D: entry not written", true, true, "RasSetEntryPropertiesA 5\n",
       "Failed to configure dial up networking connection. Setup will exit.", 1},
  };
  InstallTestPanels();
  for (const Case& c : cases) {
    std::string name = c.name;
    CAPTURE(name);
    ClearProductRecords();
    JobFolder folder("program-install-fails-" + std::to_string(&c - cases), true);
    folder.SetPanel(c.panelAddsModem);
    if (!c.inf) DeleteFileA(folder.Path("Zorvane.inf").c_str());
    fakestack::WriteScript(folder.dir, c.script);
    WriteWholeFile(folder.Path("tmp.txt"), "left by an earlier run");

    std::vector<SeenBox> boxes;
    CHECK(RunProgram(folder, "-i", {IDOK}, &boxes) == 1603);
    REQUIRE(boxes.size() == 1);
    CHECK(boxes[0].text == c.box);
    CHECK(boxes[0].hasOk);
    CHECK_FALSE(boxes[0].hasCancel);
    std::string marker;
    CHECK(ReadWholeFile(folder.Path("tmp.txt"), &marker));
    CHECK(marker == "left by an earlier run");
    std::vector<fakestack::Call> calls = fakestack::ReadCalls(folder.dir);
    CHECK(fakestack::CountOf(calls, "setupapi", "SetupUninstallOEMInfA") == c.unstaged);
    CHECK_FALSE(FileExists(JoinPath(fakestack::InfStoreDir(folder.dir), "Zorvane.inf")));
    CHECK(fakestack::ReadPhonebook(folder.dir).empty());
  }
}

namespace {

// Where the 32-bit program's records land on 64-bit Windows, seen from this
// 64-bit test; the 64-bit view's own product key is a neighbour that stays.
const char kEarlierUninstall[] =
    "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tervaloxen";
const char kEarlierProduct[] = "SOFTWARE\\Wow6432Node\\Tervaloxen";
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kCanary[] = "halvoran_canary.txt";

// Stand for the folder of the program under test, and for an empty record, in
// a row's directory.
const char kProgramFolder[] = "<the program's folder>";
const char kNoFolder[] = "<no folder>";

std::string CommonPrograms() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

struct ReleaseRow {
  const char* name;
  int answer;             // to the question
  std::string directory;  // the recorded installation folder; empty: the release's own, "old"
  bool emptied;           // the clean-up may empty it (else it tells the user it stays)
  std::string canary;     // a folder made (when missing) with a canary file, as this test names it
  std::set<std::string> left;  // what an emptied folder keeps: links, which Wine cannot delete
  bool groupIsLink;       // the shell's programs folder holds a Zorvane that is a link
};

// An install over release 2.0 in the scratch folder jobs\<name>: only a 32-bit
// program on 64-bit Windows asks; OK removes the release's records and program
// group and empties its folder where it may, Cancel keeps everything.
void CheckInstallOverRelease(const ReleaseRow& row, const std::string& name) {
  std::string rowName = row.name;
  CAPTURE(rowName);
  const std::string group = CommonPrograms() + "\\Zorvane";
  const std::string links = SelfDir() + "\\jobs_links";
  ClearProductRecords();
  ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, kEarlierUninstall);
  JobFolder folder(name, true);
  folder.SetPanel(true);
  const std::string recorded = row.directory == kProgramFolder ? folder.dir : row.directory;
  folder.SeedEarlierRelease(recorded == kNoFolder ? "" : recorded);
  if (recorded == kNoFolder) REQUIRE(SetStringValue(HKEY_LOCAL_MACHINE, kEarlierProduct, "InstallationDir", ""));
  const std::string directory =
      recorded.empty() || recorded == kNoFolder ? folder.Path("old") : recorded;
  REQUIRE(SetStringValue(HKEY_LOCAL_MACHINE, kEarlierUninstall, "DisplayName", "Halvoran 2.0"));
  REQUIRE(SetStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tervaloxen", "Neighbour", "64-bit"));
  if (!row.groupIsLink) {
    CreateDirectoryA(group.c_str(), nullptr);
    REQUIRE(WriteWholeFile(group + "\\Halvoran.lnk", "link"));
  }
  REQUIRE(WriteWholeFile(links + "\\group_target\\canary.txt", "canary"));
  CreateDirectoryA(folder.Path("old-neighbour").c_str(), nullptr);
  REQUIRE(WriteWholeFile(folder.Path("old-neighbour\\keep.txt"), "keep"));
  const bool madeCanaryFolder = !row.canary.empty() && CreateDirectoryA(row.canary.c_str(), nullptr);
  if (!row.canary.empty()) REQUIRE(WriteWholeFile(JoinPath(row.canary, kCanary), "canary"));
  const std::string neighbour = directory + " Backup";
  if (row.emptied && !row.canary.empty()) REQUIRE(WriteWholeFile(JoinPath(row.canary, "sub.txt"), "x"));
  if (row.emptied && !row.canary.empty() && CreateDirectoryA(neighbour.c_str(), nullptr))
    REQUIRE(WriteWholeFile(neighbour + "\\keep.txt", "keep"));
  const std::string seen = row.canary.empty() ? directory : row.canary;  // as this test names it
  const std::set<std::string> before = FolderEntries(seen);
  REQUIRE_FALSE(before.empty());

  std::vector<SeenBox> boxes;
  long code;
  {
    // In the program's own view: a 32-bit one reads the shell's folders there.
    std::unique_ptr<ValueOverride> programs;
    if (row.groupIsLink) {
      programs.reset(new ValueOverride(HKEY_LOCAL_MACHINE, kUserShellFolders, "Common Programs",
                                       links + "\\programs", REG_EXPAND_SZ,
                                       ProgramIs32Bit() ? KEY_WOW64_32KEY : KEY_WOW64_64KEY));
      REQUIRE(programs->Set());
    }
    code = RunProgram(folder, "-i", {row.answer, IDOK}, &boxes);
  }
  const bool asked = ProgramIs32Bit();
  const bool removed = asked && row.answer == IDOK;
  const bool declined = asked && row.answer == IDCANCEL;
  const bool emptied = removed && row.emptied;
  std::vector<std::string> texts;
  for (const SeenBox& box : boxes) texts.push_back("box " + box.text);
  std::vector<std::string> expected;
  if (asked) expected = {kQuestion, declined ? kBoxA : kRemoved};
  CHECK(texts == expected);
  std::string leftInPlace = "status Files of the previous installation left in place: \"" + directory + "\"";
  if (recorded == kNoFolder)
    leftInPlace = "status Files of the previous installation left in place: no folder was recorded";
  std::vector<std::string> lines;  // the status line under each box
  if (asked)
    lines = {"status Found previous installation",
             declined  ? "status Found previous installation"
             : emptied ? "status Removing Program Group..."
                       : leftInPlace};
  CHECK(g_statusAtBoxes == lines);
  CHECK(code == (declined ? 1602 : 0));

  CHECK(FileExists(seen));
  const std::set<std::string> after = FolderEntries(seen);
  if (emptied)
    for (const std::string& entry : after) CHECK_MESSAGE(row.left.count(entry) == 1, entry);
  else
    for (const std::string& entry : before) CHECK_MESSAGE(after.count(entry) == 1, entry);
  const bool oldEmptied = emptied && recorded.empty();
  CHECK(FileExists(folder.Path("old\\tervgui.exe")) == !oldEmptied);
  CHECK(FileExists(folder.Path("old\\bin")) == !oldEmptied);
  CHECK(FileExists(folder.Path("old-neighbour\\keep.txt")));
  CHECK(FileExists(folder.Path("Zorvane.inf")));
  if (!row.canary.empty()) CHECK(FileExists(JoinPath(row.canary, kCanary)) == !emptied);
  if (row.emptied && !row.canary.empty()) CHECK(FileExists(neighbour + "\\keep.txt"));
  CHECK(FileText(links + "\\group_target\\canary.txt") == "canary");
  CHECK(FileText(links + "\\target\\keep.txt") == "keep");
  CHECK(KeyExists(HKEY_LOCAL_MACHINE, kEarlierProduct) == !removed);
  CHECK(KeyExists(HKEY_CURRENT_USER, "Software\\Tervaloxen") == !removed);
  CHECK(KeyExists(HKEY_LOCAL_MACHINE, kEarlierUninstall) == !removed);
  CHECK(ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tervaloxen", "Neighbour"));
  CHECK(FileExists(group) == (!removed && !row.groupIsLink));
  std::vector<fakestack::Call> calls = fakestack::ReadCalls(folder.dir);
  CHECK(fakestack::CountOf(calls, "setupapi", "SetupCopyOEMInfA") == (declined ? 0u : 1u));
  CHECK(fakestack::ReadPhonebook(folder.dir).size() == (declined ? 0u : 1u));

  // What this row made outside its scratch folder; nothing more.
  DeleteFileA((group + "\\Halvoran.lnk").c_str());
  RemoveDirectoryA(group.c_str());
  if (!row.canary.empty()) {
    DeleteFileA(JoinPath(row.canary, kCanary).c_str());
    DeleteFileA(JoinPath(row.canary, "sub.txt").c_str());
  }
  if (madeCanaryFolder) RemoveDirectoryA(row.canary.c_str());
  if (row.emptied && !row.canary.empty()) {
    DeleteFileA((neighbour + "\\keep.txt").c_str());
    RemoveDirectoryA(neighbour.c_str());
  }
  ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, kEarlierUninstall);
  ClearProductRecords();
}

}  // namespace

TEST_CASE("release 2.0 on the real program: only a 32-bit program on 64-bit Windows asks; OK removes it, Cancel keeps everything; a folder it may not empty stays") {
  // Symbolic links that the build makes (see CMakeLists.txt), which Wine
  // shows as reparse points: link and release\inner to target, and
  // programs\Zorvane to group_target.
  const std::string links = SelfDir() + "\\jobs_links";
  const std::string link = links + "\\link";
  REQUIRE(WriteWholeFile(links + "\\target\\keep.txt", "keep"));
  const std::string release = links + "\\release";
  REQUIRE(WriteWholeFile(release + "\\tervgui.exe", "old front end"));
  const std::string x86 = "C:\\Program Files (x86)\\Tervaloxen";
  const ReleaseRow rows[] = {
      {"OK", IDOK, "", true, "", {}, false},
      {"Cancel", IDCANCEL, "", true, "", {}, false},
      {"the Windows folder", IDOK, "C:\\windows", false, "", {}, false},
      {"a symbolic link to a folder", IDOK, link, false, "", {}, false},
      {"the program's own folder", IDOK, kProgramFolder, false, "", {}, false},
      {"a folder that holds the program's folder", IDOK, JoinPath(ScratchRoot(), "jobs"), false, "", {},
       false},
      // Each protected tree keeps its canary; the 32-bit program names the
      // native system folder Sysnative, this 64-bit test System32.
      {"a folder of the native system folder, through Sysnative", IDOK, "C:\\windows\\Sysnative\\Halvoran",
       false, "C:\\windows\\system32\\Halvoran", {}, false},
      {"a folder of the system folder, as named in either view", IDOK, "C:\\windows\\System32\\Halvoran",
       false, "C:\\windows\\system32\\Halvoran", {}, false},
      {"the Windows folder's Installer", IDOK, "C:\\windows\\Installer", false, "C:\\windows\\Installer", {},
       false},
      {"another user's profile", IDOK, "C:\\users\\alice", false, "C:\\users\\alice", {}, false},
      {"the Default profile", IDOK, "C:\\users\\Default", false, "C:\\users\\Default", {}, false},
      {"the Public profile", IDOK, "C:\\users\\Public", false, "C:\\users\\Public", {}, false},
      {"a folder of the all-users data", IDOK, "C:\\ProgramData\\Vendor", false, "C:\\ProgramData\\Vendor",
       {}, false},
      {"a folder of Common Files", IDOK, "C:\\Program Files\\Common Files\\Vendor", false,
       "C:\\Program Files\\Common Files\\Vendor", {}, false},
      {"a drive root", IDOK, "C:\\", false, "C:\\", {}, false},
      {"the Program Files folder itself", IDOK, "C:\\Program Files", false, "C:\\Program Files", {}, false},
      {"an ordinary folder in Program Files (x86): emptied, kept, its neighbours untouched", IDOK, x86, true,
       x86, {}, false},
      {"a link in the release's folder is never entered", IDOK, release, true, "", {"inner"}, false},
      {"the group is a link: nothing behind it goes", IDOK, "", true, "", {}, true},
      {"no folder recorded", IDOK, kNoFolder, false, "", {}, false},
  };
  InstallTestPanels();
  for (const ReleaseRow& row : rows)
    CheckInstallOverRelease(row, "program-release-2-" + std::to_string(&row - rows));
}

// Run by the code page 932 copy of the i686 run only (skipped elsewhere). The
// release's folder ends in U+8868, whose second byte is 0x5C, the byte of a
// backslash; its neighbours' names begin with the same character.
TEST_CASE("release 2.0 on the real program under code page 932: only the release folder's contents go" *
          doctest::skip()) {
  REQUIRE(GetACP() == 932);
  const std::string hyo = "\x95\x5C";                                     // U+8868
  const std::string scratch = MakeScratchDir("jobs\\program-release-2-cp932-neighbours");
  const std::string release = scratch + "\\" + hyo;
  const std::string keisan = scratch + "\\" + hyo + "\x8C\x76\x8E\x5A";  // U+8868 U+8A08 U+7B97
  const std::string hyoshi = scratch + "\\" + hyo + "\x8E\x86.txt";      // U+8868 U+7D19 .txt
  // The process reads ANSI text as code page 932, so the ANSI calls make them.
  REQUIRE(CreateDirectoryA(release.c_str(), nullptr));
  REQUIRE(CreateDirectoryA((release + "\\sub").c_str(), nullptr));
  REQUIRE(WriteWholeFile(release + "\\sub\\b.txt", "data"));
  REQUIRE(CreateDirectoryA(keisan.c_str(), nullptr));
  REQUIRE(WriteWholeFile(keisan + "\\other_product_data.txt", "data"));
  REQUIRE(WriteWholeFile(hyoshi, "data"));
  InstallTestPanels();

  CheckInstallOverRelease({"<scratch>\\U+8868 beside U+8868U+8A08U+7B97 and U+8868U+7D19.txt", IDOK,
                           release, true, "", {}, false},
                          "program-release-2-cp932");
  CHECK(FileExists(keisan + "\\other_product_data.txt"));
  CHECK(FileExists(hyoshi));
}

TEST_CASE("the modem panel's route on the real program follows the Windows version reported to it") {
  // 64-bit Windows 7 or later: CPL64.exe with telephon.cpl; XP-era: rundll32
  // with modem.cpl (under WOW64 the 64-bit one, with redirection off). The
  // x86_64 program is not under WOW64: telephon.cpl in-process, or rundll32.
  // Under WOW64 only the 64-bit copies of the test panel record anything.
  // One version per route: which versions count as Windows 7 or later is the
  // probe's own table (tests/platform).
  // Windows Vista has no modem.cpl in its system folder: the route then opens
  // nothing, not a modem.cpl of the current folder, and the install fails with box C.
  struct Case { const char* version; const char* panel; bool systemHasPanel; };
  const Case cases[] = {{"win7", "telephon.cpl", true}, {"winxp", "modem.cpl", true},
                        {"vista", "modem.cpl", false}};
  InstallTestPanels();
  for (const Case& c : cases) {
    std::string version = c.version;
    CAPTURE(version);
    ClearProductRecords();
    WineAppDefaults defaults(kProgramName);
    defaults.SetVersion(c.version);
    JobFolder folder(std::string("program-panel-") + c.version, true);
    folder.SetPanel(true);
    PlantedSystemFile systemPanel(c.panel, c.systemHasPanel ? BinPath("test_applet.cpl") : "");
    if (!c.systemHasPanel) REQUIRE(CopyFileTo(BinPath("test_applet.cpl"), folder.Path(c.panel)));
    std::vector<SeenBox> boxes;
    CHECK(RunProgram(folder, "-i", {IDOK}, &boxes) == (c.systemHasPanel ? 0 : 1603));
    std::vector<std::string> log = FileLines(folder.Path("test_applet.log"));
    CHECK(ContainsLine(log, std::string(c.panel) + " CPL_INIT") == c.systemHasPanel);
    CHECK(ContainsLine(log, std::string(c.panel) + " CPL_EXIT") == c.systemHasPanel);
    CHECK(fakestack::ReadPhonebook(folder.dir).size() == (c.systemHasPanel ? 1u : 0u));
    std::vector<std::string> texts;
    for (const SeenBox& box : boxes) texts.push_back(box.text);
    CHECK(texts == (c.systemHasPanel ? std::vector<std::string>{}
                                     : std::vector<std::string>{kBoxC + 4}));
  }
  ClearProductRecords();
}

TEST_CASE("uninstall on the real program removes what is there and finishes when nothing is") {
  ClearProductRecords();
  UnstageDriverInf();
  REQUIRE(EnsureModemClass());
  RemoveTestDevicesWithPrefix(kModemClassGuid, "ROOT\\MODEM\\HVJOB");
  const std::string brand = "ROOT\\MODEM\\HVJOB&BRAND_1";
  const std::string other = "ROOT\\MODEM\\HVJOB&OTHER_1";

  SUBCASE("everything present") {
    JobFolder folder("program-uninstall-all", false);
    REQUIRE(CreateTestDevice(kModemClassGuid, brand, "Zorvane PPP Data Modem", nullptr));
    REQUIRE(CreateTestDevice(kModemClassGuid, other, "Standard 56000 bps Modem", nullptr));
    REQUIRE(SetupCopyOEMInfA(folder.Path("Zorvane.inf").c_str(), folder.dir.c_str(), SPOST_PATH, 0,
                             nullptr, 0, nullptr, nullptr));
    fakestack::PhonebookEntry entry;
    entry.name = "Halvoran 3.2";
    fakestack::WritePhonebook(folder.dir, {entry});

    CHECK(RunProgram(folder, "-u") == 0);
    CHECK_FALSE(DeviceExists(brand));
    CHECK(DeviceExists(other));
    CHECK_FALSE(FileExists(InfStoreFile("Zorvane.inf")));
    CHECK(fakestack::ReadPhonebook(folder.dir).empty());
    CHECK_FALSE(FileExists(folder.Path("tmp.txt")));
  }
  SUBCASE("nothing present") {
    JobFolder folder("program-uninstall-none", false);
    CHECK(RunProgram(folder, "-u") == 0);
    std::vector<fakestack::Call> calls = fakestack::ReadCalls(folder.dir);
    CHECK(fakestack::CountOf(calls, "rasapi32", "RasDeleteEntryA") == 1);
    CHECK(FileExists(folder.Path("devcon_modem.txt")));
    CHECK_FALSE(FileExists(folder.Path("tmp.txt")));
  }
  RemoveTestDevicesWithPrefix(kModemClassGuid, "ROOT\\MODEM\\HVJOB");
}

TEST_CASE("launch on the real program opens the dial dialog in every case and starts the front end only when it is there") {
  struct Case { const char* name; bool installed; bool frontEnd; bool separatorAtEnd; bool started; };
  const Case cases[] = {
      {"accelerator installed", true, true, false, true},
      {"accelerator installed, its directory recorded as Windows Installer writes it", true, true,
       true, true},
      {"front end missing", true, false, false, false},
      {"accelerator not installed", false, false, false, false},
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    CAPTURE(name);
    ClearProductRecords();
    JobFolder folder(std::string("program-launch-") + std::to_string(&c - cases), true);
    if (c.installed) folder.SeedAccelerator(c.frontEnd, c.separatorAtEnd);
    CHECK(RunProgram(folder, "-l") == 0);
    Sleep(c.started ? 1000 : 0);  // the front end runs on its own
    CHECK(FileExists(folder.Path("frontend.log")) == c.started);

    std::vector<fakestack::Call> dials =
        fakestack::CallsOf(fakestack::ReadCalls(folder.dir), "rasdlg", "RasDialDlgA");
    REQUIRE(dials.size() == 1);
    CHECK(dials[0].Text("entry") == "Halvoran 3.2");
    std::string info = dials[0].Bytes("info");
    REQUIRE(info.size() == DialDlgSize());
    CHECK(fakestack::DwordAt(info, DialDlgOwnerAt()) != 0);  // the progress dialog owns it
  }
  ClearProductRecords();
}

TEST_CASE("launch with the accelerator found but no directory starts nothing from the drive's root") {
  // The folder lies on the prefix's drive C:, whose root holds a decoy front
  // end: "\tervgui.exe" would name it.
  const std::string root = WindowsFolder().substr(0, 3);  // "C:\"
  const std::string decoy = root + "tervgui.exe";
  const std::string dir = root + "halvoran-tests-launch";
  ClearProductRecords();
  JobFolder folder("program-launch-empty", true);
  CreateDirectoryA(dir.c_str(), nullptr);
  DeleteFileA(JoinPath(dir, "frontend.log").c_str());
  DeleteFileA(JoinPath(dir, "fake_calls.log").c_str());
  REQUIRE(CopyFileTo(folder.Path("job_runner.exe"), decoy));
  SetStringValue(HKEY_LOCAL_MACHINE, ProductRecordRoot() + "\\Brand", "APP1",
                 "Zorvane Halvoran 3 Web Accelerator");
  SetStringValue(HKEY_LOCAL_MACHINE, ProductRecordRoot(), "InstallationDir", "");

  JobFolder onDriveC = folder;
  onDriveC.dir = dir;
  CHECK(RunProgram(onDriveC, "-l") == 0);
  Sleep(1000);
  CHECK_FALSE(FileExists(JoinPath(dir, "frontend.log")));
  CHECK(fakestack::CountOf(fakestack::ReadCalls(dir), "rasdlg", "RasDialDlgA") == 1);

  DeleteFileA(decoy.c_str());
  for (const char* file : {"fake_calls.log", "frontend.log", kProgramName})
    DeleteFileA(JoinPath(dir, file).c_str());
  RemoveDirectoryA(dir.c_str());
  ClearProductRecords();
}

TEST_SUITE_END();
