// Bad input at each surface where the program takes input in: one case per
// surface, rows in tables. Every run must end in its time-out with the exit
// code the rows give (a crash would not), and leave nothing outside its own
// folder or key. Inputs that other tests already cover are not repeated here.
#include <doctest.h>

#include <windows.h>
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "job/product_names.h"
#include "job/setup_mode.h"
#include "modem/dialup_entry.h"
#include "modem/driver_inf.h"
#include "modem/modem_removal.h"
#include "sequences/sequences.h"
#include "tests/app/shell_scripts.h"
#include "tests/fakes/fake_stack.h"
#include "tests/support/child.h"
#include "tests/support/program_run.h"
#include "tests/support/registry_scratch.h"
#include "tests/support/scratch.h"
#include "tests/support/status_recorder.h"
#include "tests/support/system_file.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"
#include "worker/status_channel.h"
#include "worker/success_marker.h"
#include "product_version.h"  // generated: the release

extern "C" void* __imp_GetCommandLineA;  // this executable's import slot

namespace {

std::mt19937 Seeded() { return std::mt19937(20240607u); }

// Wide calls on a "\\?\" path, which may pass MAX_PATH.
std::wstring LongPath(const std::string& ascii) { return L"\\\\?\\" + std::wstring(ascii.begin(), ascii.end()); }

bool CopyLong(const std::string& from, const std::wstring& to) {
  return CopyFileW(LongPath(from).c_str(), to.c_str(), FALSE) != 0;
}

// ---------------------------------------------------------------- command lines

const char* g_commandLine = "";
LPSTR WINAPI ScriptedCommandLine() { return const_cast<LPSTR>(g_commandLine); }

// While it lives, GetCommandLineA of the mode functions (linked into this
// executable) returns g_commandLine.
class CommandLineSeam {
 public:
  CommandLineSeam() { saved_ = Swap(reinterpret_cast<void*>(&ScriptedCommandLine)); }
  ~CommandLineSeam() { Swap(saved_); }

 private:
  static void* Swap(void* to) {
    DWORD old = 0;
    VirtualProtect(&__imp_GetCommandLineA, sizeof(void*), PAGE_READWRITE, &old);
    void* was = __imp_GetCommandLineA;
    __imp_GetCommandLineA = to;
    VirtualProtect(&__imp_GetCommandLineA, sizeof(void*), old, &old);
    return was;
  }
  void* saved_;
};

bool BeginsWithIgnoringCase(const std::string& line, const std::string& prefix) {
  return line.size() >= prefix.size() && lstrcmpiA(line.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0;
}

// The reference, over the program's own tables of the two orders: the first
// switch of the order found anywhere in the line decides. Where the line begins
// with the program's own path (this executable's), quoted or not, in any case,
// only what follows it is searched; otherwise a line that begins with '-' or '/'
// is searched whole; otherwise the program's path is the line up to the first
// blank or tab that has an even number of quotes before it.
template <size_t N>
SetupMode Decide(const std::string& line, const ModeSwitch (&order)[N]) {
  size_t first = 0, quotes = 0;
  if (BeginsWithIgnoringCase(line, "\"" + SelfPath() + "\"")) {
    first = SelfPath().size() + 2;
  } else if (BeginsWithIgnoringCase(line, SelfPath())) {
    first = SelfPath().size();
  } else if (line[0] != '-' && line[0] != '/') {
    while (first < line.size() && !((line[first] == ' ' || line[first] == '\t') && quotes % 2 == 0))
      quotes += line[first++] == '"';
  }
  for (const ModeSwitch& s : order)
    if (line.find(s.text, first) != std::string::npos) return s.mode;
  return SetupMode::None;
}

// Switch letters in both cases, hyphens, slashes, quotes, blanks, bytes above
// 127 and control characters; now and then a program path in front, and a few
// lines of many thousand characters.
std::string RandomLine(std::mt19937& rng) {
  static const char kCommon[] = "-iuvlIUVL/ \t\"\\ax.:0";
  size_t shape = rng() % 100;
  size_t length = shape < 90 ? rng() % 40 : shape < 98 ? rng() % 400 : 8000 + rng() % 24000;
  std::string line;
  for (size_t i = 0; i < length; ++i) {
    size_t kind = rng() % 100;
    line += kind < 85 ? kCommon[rng() % (sizeof kCommon - 1)]
                      : kind < 95 ? static_cast<char>(0x80 + rng() % 128) : static_cast<char>(1 + rng() % 31);
  }
  // Program paths that hold switches themselves, quoted or not; this
  // executable's own path, in mixed case, quoted or not.
  static const char* const kPaths[] = {"\"C:\\Setup Kit\\HalvoranInstallWinApp.exe\" ",
                                       "\"C:\\kit -u -i\\HalvoranInstallWinApp.exe\" ",
                                       "C:\\halvoran-installer\\HalvoranInstallWinApp.exe "};
  size_t prefix = rng() % 6;
  if (prefix < 3) {
    line = kPaths[prefix] + line;
  } else if (prefix == 3) {
    std::string self = SelfPath();
    for (char& c : self) c = static_cast<char>(rng() % 2 ? toupper(c) : tolower(c));
    line = (rng() % 2 ? "\"" + self + "\"" : self) + line;
  }
  return line;
}

const char* Name(SetupMode mode) {
  static const char* const kNames[] = {"Install", "Uninstall", "Version", "Launch", "None"};
  return kNames[static_cast<int>(mode)];
}

}  // namespace

TEST_CASE("command lines: random lines take the modes of both decision orders") {
  std::mt19937 rng = Seeded();
  struct Wanted { SetupMode dialog, worker; std::string line; };
  std::vector<Wanted> forRealProgram = {
      {SetupMode::None, SetupMode::None, ""},         {SetupMode::Version, SetupMode::None, ""},
      {SetupMode::Version, SetupMode::Launch, ""},    {SetupMode::Launch, SetupMode::Launch, ""},
      {SetupMode::Uninstall, SetupMode::Uninstall, ""}, {SetupMode::Install, SetupMode::Install, ""}};
  std::vector<std::string> wrong;
  {
    CommandLineSeam seam;
    for (int n = 0; n < 4000; ++n) {
      std::string line = RandomLine(rng);
      g_commandLine = line.c_str();
      SetupMode dialog = Decide(line, kDialogOrder), worker = Decide(line, kWorkerOrder);
      if (DialogSetupMode() != dialog || WorkerSetupMode() != worker)
        wrong.push_back(line.substr(0, 80) + " -> " + Name(DialogSetupMode()) + "/" + Name(WorkerSetupMode()));
      // The real program has another path: lines that begin with this one's are not for it.
      const bool ownPath = BeginsWithIgnoringCase(line, SelfPath()) ||
                           BeginsWithIgnoringCase(line, "\"" + SelfPath());
      for (Wanted& w : forRealProgram)
        if (w.line.empty() && !ownPath && line.size() < 200 && w.dialog == dialog && w.worker == worker)
          w.line = line;
    }
    g_commandLine = "";
  }
  CHECK_MESSAGE(wrong.empty(), wrong.size() << " lines decided wrongly, first: " << (wrong.empty() ? "" : wrong[0]));

  // A handful through the real program, as the line it gets (its first token
  // taken for its path): a job without its driver INF fails at once, with its box.
  REQUIRE(ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tervaloxen"));
  REQUIRE_MESSAGE(PathHasNoSwitch(ScratchRoot()), "the test folder's path holds a switch");
  int index = 0;
  for (const Wanted& w : forRealProgram) {
    CAPTURE(std::string(Name(w.dialog)));
    CAPTURE(std::string(Name(w.worker)));
    REQUIRE_FALSE(w.line.empty());
    ProgramRun run("campaign\\line" + std::to_string(index++), RealProgramPath());
    // Wine's dial dialog is a stub that aborts the process: the fake one stands in.
    REQUIRE(fakestack::PlantSystemFakes());
    // The modem removal's tools, which list nothing: without them the command
    // interpreter's complaints would read as its known start-up fault.
    REQUIRE(CopyFileTo(BinPath("scripted_devcon.exe"), run.PathOf("devcon_32.exe")));
    REQUIRE(CopyFileTo(BinPath("scripted_grep.exe"), run.PathOf("grep.exe")));
    REQUIRE(FileExists(run.ProgramPath()));
    REQUIRE_MESSAGE(run.StartWithLine(w.line), "the start failed with error " << GetLastError());
    BoxAnswerer boxes(kBoxCaption, {IDOK, IDOK}, run.Id());
    long exitCode = run.Wait(60000);
    boxes.Stop();
    std::vector<std::string> seen;
    for (const SeenBox& box : boxes.Seen()) seen.push_back(box.text);
    std::vector<std::string> expected;
    if (w.dialog == SetupMode::Version) expected.push_back(HALVORAN_BUILD_ID_TEXT);
    if (w.worker == SetupMode::Install) expected.push_back("Failed to install driver file. Setup will exit.");
    CHECK(seen == expected);
    CHECK(exitCode == (w.worker == SetupMode::Install ? 1603 : 0));
    CHECK_FALSE(run.Has("tmp.txt"));
  }
}

// ---------------------------------------------------------------- instruction files

TEST_CASE("instruction files: a megabyte and random bytes show their first 8191 bytes up to a NUL") {
  std::mt19937 rng = Seeded();
  std::string noNul, withNul, megabyte;
  // Not 0x98: Wine's text drawing crashes on a line of that character alone
  // (U+02DC), in any edit control.
  while (noNul.size() < 9000)
    if (char c = static_cast<char>(1 + rng() % 255); c != '\x98') noNul += c;
  noNul[100] = '\x1A';  // the end of a file to a text-mode read
  while (withNul.size() < 4000)
    if (char c = static_cast<char>(rng() % 256); c != '\x98') withNul += c;
  while (megabyte.size() < (1u << 20)) megabyte += "Halvoran setup instruction line\r\n";
  megabyte.resize(1u << 20);
  struct Row { const char* what; std::string content; };
  const Row rows[] = {{"one megabyte", megabyte}, {"random bytes without NUL", noNul},
                      {"random bytes with NULs", withNul}};
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    ProgramRun run(std::string("campaign\\text_") + std::to_string(&row - rows), ScriptedProgramPath());
    run.Put("ModemUninstallWinAppText.txt", row.content);
    run.Put("scripted_sequences.txt", "wait release\n");
    REQUIRE(run.Start("-u"));
    HWND dialog = run.WaitForDialog();
    REQUIRE(dialog != nullptr);
    std::string shown = row.content.substr(0, 8191);
    shown = shown.substr(0, shown.find('\0'));
    CHECK(ControlText(GetDlgItem(dialog, IDC_INSTRUCTION_TEXT)) == shown);
    run.Put("release", "");
    CHECK(run.Wait() == 0);
  }
}

// ---------------------------------------------------------------- registry

TEST_CASE("registry: names and data of 259, 260 and 261 bytes where they are read") {
  const char kAutoDialKey[] = "Software\\Microsoft\\RAS AutoDial\\Default";
  // The AutoDial clean-up: a value whose name or data does not fit ends the scan
  // as if the values had run out; one that fits is read whole.
  const std::string entry = kEntryName;
  struct Row {
    const char* what;
    std::string name, data;
    const char* defaultData;
    bool defaultStays;
  };
  const Row rows[] = {
      {"name of 259 before the default", "A" + std::string(258, 'n'), "x", "Halvoran 3.2", false},
      {"name of 260 ends the scan", "A" + std::string(259, 'n'), "x", "Halvoran 3.2", true},
      {"name of 261 ends the scan", "A" + std::string(260, 'n'), "x", "Halvoran 3.2", true},
      {"data of 259 before the default", "A", std::string(259, 'x'), "Halvoran 3.2", false},
      {"data of 260 before the default", "A", std::string(260, 'x'), "Halvoran 3.2", false},
      {"data of 261 ends the scan", "A", std::string(261, 'x'), "Halvoran 3.2", true},
      {"name of 259 naming the entry", "A" + std::string(258, 'n'), entry, "Other ISP", false},
      {"data of 260 naming the entry, no terminator", "A", entry + std::string(260 - entry.size(), ' '),
       "Other ISP", false},
      {"data of 261 naming the entry", "A", entry + std::string(261 - entry.size(), ' '), "Other ISP", true},
  };
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    REQUIRE(ForceDeleteKeyTree(HKEY_CURRENT_USER, kAutoDialKey));
    // Binary data: exactly these bytes, no terminator added.
    REQUIRE(SetValueBytes(HKEY_CURRENT_USER, kAutoDialKey, row.name, row.data, REG_BINARY));
    REQUIRE(SetStringValue(HKEY_CURRENT_USER, kAutoDialKey, "DefaultInternet", row.defaultData));
    ClearAutoDialDefault();
    CHECK(ValueExists(HKEY_CURRENT_USER, kAutoDialKey, "DefaultInternet") == row.defaultStays);
    CHECK(ValueExists(HKEY_CURRENT_USER, kAutoDialKey, row.name));
  }
  REQUIRE(ForceDeleteKeyTree(HKEY_CURRENT_USER, kAutoDialKey));
  // The tree removal's names of 259, 260 and 261 bytes: in the records tests.
}

// ---------------------------------------------------------------- device-console listings

TEST_CHILD(remove_modems) {
  return 10 + RemoveModemDevices(RecordStatus, nullptr);
}

TEST_CASE("device-console listings: every command-interpreter metacharacter in an identifier") {
  // Each identifier has a decoy: the device that the part in front of the
  // metacharacter names. Only commands whose identifier can be quoted safely run,
  // for exactly that identifier; no decoy goes and no file appears.
  // Bytes above 0x7F: lead bytes of double-byte code pages, which would take the
  // byte behind them into one character; no identifier holds them.
  const std::string metas = "&|<>^()%!\",;=@`'~?*{}[]$#+.\x81\x95\xA0\xE0\xFF";
  std::vector<std::string> listing, expectedCalls = {"devcon_32.exe\tlistclass\tMODEM"};
  std::vector<std::string> decoys;
  for (char c : metas) {
    std::string id = std::string("ROOT\\A") + c + "B\\0000";
    listing.push_back(id + "   : Zorvane PPP Data Modem");
    if (c != '%' && c != '!' && c != '"' && static_cast<unsigned char>(c) < 0x80)
      expectedCalls.push_back("devcon_32.exe\tremove\t@" + id);
  }
  for (const char* id : {"ROOT\\A&&B\\0000", "ROOT\\A||B\\0000", "ROOT\\A>>B\\0000", "ROOT\\A^&B\\0000",
                         "ROOT\\A2>&1\\0000", "ROOT\\A<nul\\0000", "ROOT\\A&(x)\\0000"}) {
    listing.push_back(std::string(id) + "   : Zorvane PPP Data Modem");
    expectedCalls.push_back(std::string("devcon_32.exe\tremove\t@") + id);
  }
  decoys = {"ROOT\\A   : Standard Modem", "B\\0000   : Standard Modem", "nul   : Standard Modem",
            "1\\0000   : Standard Modem", "x   : Standard Modem"};
  // Lines the filter passes that begin with blanks, or hold the brand word alone.
  listing.push_back("\t  ROOT\\BLANKS\\0000   : Zorvane PPP Data Modem");
  expectedCalls.push_back("devcon_32.exe\tremove\t@ROOT\\BLANKS\\0000");
  listing.push_back("Zorvane");
  expectedCalls.push_back("devcon_32.exe\tremove\t@Zorvane");

  std::string dir = MakeScratchDir("campaign\\devcon");
  REQUIRE(CopyFileTo(BinPath("scripted_devcon.exe"), JoinPath(dir, "devcon_32.exe")));
  REQUIRE(CopyFileTo(BinPath("scripted_grep.exe"), JoinPath(dir, "grep.exe")));
  std::vector<std::string> devices = decoys;
  devices.insert(devices.end(), listing.begin(), listing.end());
  REQUIRE(WriteLines(JoinPath(dir, "devices.txt"), devices));

  CHECK(RunChild(dir, "remove_modems") == 11);
  std::vector<std::string> calls = FileLines(JoinPath(dir, "devcon_calls.txt"));
  CHECK(calls == expectedCalls);
  std::vector<std::string> left = FileLines(JoinPath(dir, "devices.txt"));
  for (const std::string& decoy : decoys)
    CHECK_MESSAGE(ContainsLine(left, decoy), decoy);
  CHECK(FolderEntries(dir) == std::set<std::string>{"devcon_32.exe", "grep.exe", "devices.txt", "devcon_calls.txt",
                                              "grep_calls.txt", "devcon_modem.txt"});
}

// ---------------------------------------------------------------- paths

// The current directory "<ascii>\<count times U+4E00>": five characters of three
// bytes each in the copy that runs with UTF-8 as its code page.
std::wstring DeepFolder(const std::string& ascii, size_t count) {
  return std::wstring(ascii.begin(), ascii.end()) + L"\\" + std::wstring(count, L'\x4E00');
}

// In a current directory that Windows accepts (at most 258 characters) but whose
// narrow form may not fit the 260-byte buffers: the driver INF is handed to the
// setup library only while it fits; the device console, past MAX_PATH there,
// runs neither in place nor anywhere else; the marker lands in place.
TEST_CHILD(long_current_directory) {
  if (argc < 2 || GetACP() != CP_UTF8) return 98;
  std::string here(MAX_PATH, '\0');
  here.resize(GetCurrentDirectoryA(MAX_PATH, &here[0]));
  if (!SetCurrentDirectoryW(DeepFolder(argv[0], atoi(argv[1])).c_str())) return 97;
  std::string report;
  report += "stage " + std::to_string(StageDriverInf(RecordStatus, nullptr)) + "\n";
  report += "handed " + std::to_string(fakestack::CountOf(fakestack::ReadCalls("."), "setupapi", "SetupCopyOEMInfA")) + "\n";
  report += "remove " + std::to_string(RemoveModemDevices(RecordStatus, nullptr)) + "\n";
  CreateSuccessMarker();
  report += std::string("marker ") + (GetFileAttributesA("tmp.txt") != INVALID_FILE_ATTRIBUTES ? "1" : "0") + "\n";
  for (const std::string& line : g_statusLines) report += "status " + line;
  return WriteWholeFile(JoinPath(here, "report.txt"), report) ? 0 : 96;
}

// Starts the accelerator's front end from the records in place.
TEST_CHILD(launch_accelerator) {
  LaunchAccelerator();
  return 0;
}

// The launch's first step, in a child in cwd, with the records naming directory:
// true when a front end started, which notes itself in its current folder within
// polls times 20 ms.
bool FrontEndStarted(const std::string& cwd, const std::string& directory, int polls) {
  REQUIRE(ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tervaloxen"));
  REQUIRE(SetStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tervaloxen\\Brand", "APP1", kAcceleratorBrand));
  REQUIRE(SetStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tervaloxen", "InstallationDir", directory));
  CHECK(RunChild(cwd, "launch_accelerator") == 0);
  bool started = false;
  for (int i = 0; i < polls && !started; ++i, Sleep(20)) started = FileExists(JoinPath(cwd, "frontend.log"));
  return started;
}

TEST_CASE("paths: a long current directory, installation directories at the limit, a program path of 259") {
  const std::string systemFolderList = JoinPath(WindowsFolder(), "devcon_modem.txt");
  SUBCASE("current directory of 249 and 250 characters, 259 and 260 bytes") {
    // GetCurrentDirectoryA into MAX_PATH bytes fails from 260 bytes on.
    for (size_t ascii : {243, 244}) {
      CAPTURE(ascii);
      std::string program = MakeScratchDir("campaign\\longcwd");
      REQUIRE(fakestack::PlantSystemFakes());
      REQUIRE(CopySelfWithUtf8CodePage(JoinPath(program, "campaign_child.exe")));
      REQUIRE(CopyFileTo(BinPath("Zorvane.inf"), JoinPath(program, "Zorvane.inf")));
      std::string deep = FolderOfLength(program, ascii);
      REQUIRE(deep.size() == ascii);
      std::wstring cwd = L"\\\\?\\" + DeepFolder(deep, 5);
      REQUIRE(CreateDirectoryW(cwd.c_str(), nullptr));
      REQUIRE(CopyLong(BinPath("scripted_devcon.exe"), cwd + L"\\devcon_32.exe"));
      REQUIRE(CopyLong(BinPath("scripted_grep.exe"), cwd + L"\\grep.exe"));
      DeleteFileA(systemFolderList.c_str());
      // The command interpreter's complaints go to a file: in the test's output
      // they would read as its known start-up fault.
      CHECK(RunProcessWithFiles(ChildCommandLine("long_current_directory", QuoteArgument(deep) + " 5",
                                                 JoinPath(program, "campaign_child.exe")),
                                program, "", JoinPath(program, "out.txt"), JoinPath(program, "err.txt"),
                                120000) == 0);
      CHECK(FileText(JoinPath(program, "report.txt")) ==
            "stage 0\nhanded " + std::string(ascii == 243 ? "1" : "0") +
                "\nremove 0\nmarker 1\nstatus Installing setup file\nstatus Removing modem ...\r\n");
      CHECK_FALSE(FileExists(systemFolderList));
    }
  }
  SUBCASE("installation directory of 247 and 248 characters") {
    // "<directory>\tervgui.exe" fits 260 bytes with 247; with 248 the front end
    // is not started, nor a file of the name cut to fit. A separator at the end
    // is not repeated, so 247 characters and one separator fit too.
    struct Row { size_t length; bool separatorAtEnd; bool started; };
    for (const Row& row : {Row{247, false, true}, Row{248, false, false}, Row{247, true, true}}) {
      CAPTURE(row.length);
      CAPTURE(row.separatorAtEnd);
      std::string cwd = MakeScratchDir("campaign\\launch" + std::to_string(row.length) +
                                       (row.separatorAtEnd ? "s" : ""));
      std::string dir = FolderOfLength(cwd, row.length);
      REQUIRE(CopyLong(BinPath("job_runner.exe"), LongPath(dir + "\\tervgui.exe")));
      REQUIRE(CopyLong(BinPath("job_runner.exe"), LongPath(dir + "\\tervgui.ex")));
      CHECK(FrontEndStarted(cwd, row.separatorAtEnd ? dir + "\\" : dir, row.started ? 500 : 50) ==
            row.started);
    }
    REQUIRE(ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tervaloxen"));
  }
  SUBCASE("installation directories that the current folder or drive would complete") {
    // frontEnd: the path started, or null when nothing is; decoy: below cwd, or on C:.
    struct Row { const char* directory; const char* frontEnd; const char* decoy; };
    const Row rows[] = {
        {"Tervaloxen", nullptr, "Tervaloxen"},
        {"C:Tervaloxen", nullptr, "C:\\Tervaloxen"},
        {"%ProgramFiles%\\Tervaloxen", nullptr, "%ProgramFiles%\\Tervaloxen"},
        {"\\Tervaloxen", nullptr, nullptr},  // the current drive's root: Z:, outside the prefix
        {".\\Tervaloxen", nullptr, "Tervaloxen"},
        {"", nullptr, nullptr},
        {"\\", nullptr, nullptr},
        {"C:\\", nullptr, nullptr},  // a drive root alone, as a share alone
        {"C:\\Tervaloxen\\\\", nullptr, nullptr},
        {"C:\\Tervaloxen//", nullptr, nullptr},
        {"C:\\Tervaloxen\\\\bin", nullptr, nullptr},
        {"C:\\Tervaloxen\\.\\bin", nullptr, nullptr},
        {"C:\\Tervaloxen\\..\\Tervaloxen", nullptr, nullptr},
        {"C:\\Tervaloxen/../Tervaloxen", nullptr, nullptr},
        {"C:\\Program Files\\Tervaloxen", "C:\\Program Files\\Tervaloxen\\tervgui.exe", nullptr},
        // The form of every Windows Installer directory property.
        {"C:\\Program Files\\Tervaloxen\\", "C:\\Program Files\\Tervaloxen\\tervgui.exe", nullptr},
        {"C:\\Program Files\\Tervaloxen/", "C:\\Program Files\\Tervaloxen\\tervgui.exe", nullptr},
        {"c:\\Tervaloxen\\...x\\.bin", "c:\\Tervaloxen\\...x\\.bin\\tervgui.exe", nullptr},
        // Network shares: a folder of a share, never the server or the share alone.
        {"\\\\server\\share\\Tervaloxen", "\\\\server\\share\\Tervaloxen\\tervgui.exe", nullptr},
        {"\\\\server\\share\\Tervaloxen\\", "\\\\server\\share\\Tervaloxen\\tervgui.exe", nullptr},
        {"\\\\server\\share\\", nullptr, nullptr},
        {"\\\\server\\share", nullptr, nullptr},
        {"\\\\server", nullptr, nullptr},
        {"\\\\", nullptr, nullptr},
        {"\\\\\\share\\Tervaloxen", nullptr, nullptr},
        {"\\\\server\\\\Tervaloxen", nullptr, nullptr},
        {"\\\\server\\share\\..\\Tervaloxen", nullptr, nullptr},
        // Device and unparsed names are no shares.
        {"\\\\.\\C:\\Tervaloxen", nullptr, nullptr},
        {"\\\\?\\C:\\Tervaloxen", nullptr, nullptr},
        {"\\\\?\\UNC\\server\\share\\Tervaloxen", nullptr, nullptr},
    };
    for (const Row& row : rows) {
      CAPTURE(std::string(row.directory));
      char path[MAX_PATH];
      const bool made = MakeFrontEndPath(row.directory, path, sizeof path);
      CHECK(made == (row.frontEnd != nullptr));
      if (made && row.frontEnd) CHECK(std::string(path) == row.frontEnd);
      if (!row.decoy) continue;
      std::string cwd = MakeScratchDir("campaign\\relative" + std::to_string(&row - rows));
      std::string decoy = row.decoy[1] == ':' ? std::string(row.decoy) : JoinPath(cwd, row.decoy);
      CreateDirectoryA(JoinPath(cwd, "%ProgramFiles%").c_str(), nullptr);
      REQUIRE((CreateDirectoryA(decoy.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS));
      REQUIRE(CopyFileTo(BinPath("job_runner.exe"), decoy + "\\tervgui.exe"));
      CHECK_FALSE(FrontEndStarted(cwd, row.directory, 50));
      if (row.decoy[1] == ':') {
        DeleteFileA((decoy + "\\tervgui.exe").c_str());
        RemoveDirectoryA(decoy.c_str());
      }
    }
    REQUIRE(ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tervaloxen"));
  }
  SUBCASE("program path of 259 characters") {
    // The longest path the loader starts a program from: it installs, and its
    // boxes carry its name.
    std::string cwd = MakeScratchDir("campaign\\deepcwd");
    std::string folder = FolderOfLength(MakeScratchDir("campaign\\deep"), 259 - 1 - strlen(kProgramName));
    std::string program = folder + "\\" + kProgramName;
    REQUIRE(program.size() == 259);
    REQUIRE(CopyFileTo(RealProgramPath(), program));
    REQUIRE(CopyFileTo(BinPath("Zorvane.inf"), folder + "\\Zorvane.inf"));
    REQUIRE(fakestack::PlantSystemFakes());
    REQUIRE(fakestack::WriteDevices(cwd, {{"modem", kModemName}}));
    {
      ChildProcess install;
      REQUIRE(install.Start(program, std::string(kProgramName) + " -i", cwd));
      CHECK(install.Wait(60000) == 0);
      CHECK(FileExists(JoinPath(cwd, "tmp.txt")));
      std::vector<fakestack::Call> copies =
          fakestack::CallsOf(fakestack::ReadCalls(cwd), "setupapi", "SetupCopyOEMInfA");
      REQUIRE(copies.size() == 1);
      CHECK(copies[0].Text("source") == folder + "\\Zorvane.inf");
      CHECK(copies[0].Text("media") == cwd);
    }
    {
      ChildProcess version;
      REQUIRE(version.Start(program, std::string(kProgramName) + " -v", cwd));
      HWND box = WaitForTopWindow(version.Id(), "#32770", kBoxCaption, 20000);
      REQUIRE(box != nullptr);
      CHECK(ReadMessageBox(box).text == HALVORAN_BUILD_ID_TEXT);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      CHECK(version.Wait(20000) == 0);
    }
  }
}

// Run by the test's code page 932 copy only (it is skipped in the ordinary run):
// a character whose second byte is 0x5C, the byte of a backslash, ends no part.
TEST_CASE("paths: launch directories under code page 932 are read as characters" * doctest::skip()) {
  REQUIRE(GetACP() == 932);
  struct Row { const char* directory; const char* frontEnd; };
  const Row rows[] = {
      // Ends in U+8868: its 0x5C is no separator at the end, and is kept.
      {"C:\\Tervaloxen\\\x95\x5C", "C:\\Tervaloxen\\\x95\x5C\\tervgui.exe"},
      {"C:\\\x81\x5C\\bin", "C:\\\x81\x5C\\bin\\tervgui.exe"},  // a dash whose second byte is 0x5C
      {"C:\\Tervaloxen\\\x95\x5C\\", "C:\\Tervaloxen\\\x95\x5C\\tervgui.exe"},
      {"C:\\Tervaloxen\\\x95\x5C\\\\", nullptr},
      {"\\\\\x95\x5C\\share\\bin\\", "\\\\\x95\x5C\\share\\bin\\tervgui.exe"},
      {"C:\\Tervaloxen\\..\\\x95\x5C", nullptr},
      {"C:\\Tervaloxen\\\x95", nullptr},       // a lead byte without its second byte
  };
  for (const Row& row : rows) {
    CAPTURE(std::string(row.directory));
    char path[MAX_PATH];
    const bool made = MakeFrontEndPath(row.directory, path, sizeof path);
    CHECK(made == (row.frontEnd != nullptr));
    if (made && row.frontEnd) CHECK(std::string(path) == row.frontEnd);
  }
}

// ---------------------------------------------------------------- status lines

TEST_CASE("status lines: formats with many arguments arrive formatted, cut at 1023 characters") {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  REQUIRE(window != nullptr);
  CWnd dialog;
  dialog.m_hWnd = window;
  auto received = [&]() -> std::string {
    MSG msg;
    if (!PeekMessageA(&msg, window, WM_STATUSTEXT, WM_STATUSTEXT, PM_REMOVE)) return "(none)";
    char* text = reinterpret_cast<char*>(msg.lParam);
    std::string line = text;
    free(text);
    return line;
  };
  const std::string w40(40, 'w');
  const char* s = w40.c_str();
  struct Row { const char* what; int reported; std::string expected; };
  std::string sixtyFour;
  for (int i = 0; i < 64; ++i) sixtyFour += w40;
  const Row rows[] = {
      {"twenty strings and twenty numbers",
       ReportStatus(&dialog, "%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d\r\n",
                    "a", 1, "b", -2, "c", 3, "d", 4, "e", 5, "f", 6, "g", 7, "h", 8, "i", 9, "j", 10, "k", 11, "l",
                    12, "m", 13, "n", 14, "o", 15, "p", 16, "q", 17, "r", 18, "s", 19, "t", 2000000000),
       "a1b-2c3d4e5f6g7h8i9j10k11l12m13n14o15p16q17r18s19t2000000000\r\n"},
      {"widths, flags and a percent sign",
       ReportStatus(&dialog, "%5d|%-5s|%05u|%x|%X|%c|%%|%3s|%-3d|%08.3f|%+d", 42, "ab", 7u, 255u, 255u, 'Z', "toolong",
                    1, 2.5, 3),
       "   42|ab   |00007|ff|FF|Z|%|toolong|1  |0002.500|+3"},
      {"sixty-four strings of 40",
       ReportStatus(&dialog, "%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s"
                             "%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s%s",
                    s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s,
                    s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s, s),
       sixtyFour.substr(0, 1023)},
  };
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    CHECK(row.reported == 1);
    CHECK(received() == row.expected);
  }
  dialog.m_hWnd = nullptr;
  DestroyWindow(window);
}
