// The late-bound library groups against the fake libraries. Each case runs
// named steps in a scratch folder while the fakes (or a variant lacking one
// entry point) are the system's libraries, which the groups load by full path;
// the fakes' log shows every load, free and call. The steps run in this
// process, or, where the end of a process or its own folder and settings
// matter, in a copy of this executable started as a child.
#include <doctest.h>

#include <windows.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/ras_api_binding.h"
#include "platform/ras_dlg_binding.h"
#include "platform/setup_api_binding.h"
#include "tests/fakes/fake_stack.h"
#include "tests/support/child.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"
#include "tests/support/system_file.h"
#include "tests/support/wine_app_defaults.h"

using fakestack::Call;
using fakestack::DwordAt;
using fakestack::TextAt;

namespace {

const char kEntry[] = "Child Entry";
const char kPhone[] = "004930123456";

std::string Num(unsigned long long n) { return std::to_string(n); }

std::string Loaded(const char* dll) { return GetModuleHandleA(dll) ? "loaded" : "unloaded"; }

// One step of a child run: a bind, a release, a forwarding call with fixed
// arguments, or a look at whether a library is in the process. Each yields
// the text written to child_steps.txt.
struct Step {
  const char* name;
  std::function<std::string()> run;
};

const std::vector<Step>& Steps() {
  static const std::vector<Step> steps = {
      {"BindRasApi", [] { return Num(BindRasApi()); }},
      {"ReleaseRasApi", [] { ReleaseRasApi(); return std::string("done"); }},
      {"BindRasDlg", [] { return Num(BindRasDlg()); }},
      {"ReleaseRasDlg", [] { ReleaseRasDlg(); return std::string("done"); }},
      {"BindSetupApi", [] { return Num(BindSetupApi()); }},
      {"ReleaseSetupApi", [] { ReleaseSetupApi(); return std::string("done"); }},
      {"rasapi32?", [] { return Loaded("rasapi32.dll"); }},
      {"rasdlg?", [] { return Loaded("rasdlg.dll"); }},
      {"setupapi?", [] { return Loaded("setupapi.dll"); }},
      {"RasEnumDevicesA",
       [] {
         DWORD size = 0, count = 0;
         return Num(RasApiBinding::RasEnumDevicesA(nullptr, &size, &count));
       }},
      {"RasSetEntryPropertiesA",
       [] {
         RASENTRYA entry;
         memset(&entry, 0, sizeof entry);
         entry.dwSize = sizeof entry;
         lstrcpyA(entry.szLocalPhoneNumber, kPhone);
         return Num(RasApiBinding::RasSetEntryPropertiesA(nullptr, kEntry, &entry, sizeof entry,
                                                          nullptr, 0));
       }},
      {"RasSetEntryDialParamsA",
       [] {
         RASDIALPARAMSA params;
         memset(&params, 0, sizeof params);
         params.dwSize = sizeof params;
         lstrcpyA(params.szEntryName, kEntry);
         lstrcpyA(params.szUserName, "user");
         return Num(RasApiBinding::RasSetEntryDialParamsA(nullptr, &params, FALSE));
       }},
      {"RasDeleteEntryA", [] { return Num(RasApiBinding::RasDeleteEntryA(nullptr, kEntry)); }},
      {"RasDialDlgA",
       [] {
         RASDIALDLG info;
         memset(&info, 0, sizeof info);
         info.dwSize = sizeof info;
         char entry[] = "Child Entry";
         return std::to_string(RasDlgBinding::RasDialDlgA(nullptr, entry, nullptr, &info));
       }},
      {"SetupCopyOEMInfA",
       [] {
         char cwd[MAX_PATH] = {}, dest[MAX_PATH] = {};
         GetCurrentDirectoryA(sizeof cwd, cwd);
         std::string source = JoinPath(cwd, "Child.inf");
         return std::to_string(SetupApiBinding::SetupCopyOEMInfA(
             source.c_str(), cwd, SPOST_PATH, SP_COPY_NOOVERWRITE, dest, sizeof dest, nullptr,
             nullptr));
       }},
      {"SetupUninstallOEMInfA",
       [] {
         return std::to_string(
             SetupApiBinding::SetupUninstallOEMInfA("child.inf", SUOI_FORCEDELETE, nullptr));
       }},
      {"SetupGetInfFileListA",
       [] {
         char list[64] = {};
         DWORD required = 0;
         BOOL listed = SetupApiBinding::SetupGetInfFileListA(nullptr, INF_STYLE_WIN4, list,
                                                             sizeof list, &required);
         return std::to_string(listed) + " " + list + " " + Num(required);
       }},
      {"SetupGetInfInformationA",
       [] {
         DWORD required = 0;
         BOOL got = SetupApiBinding::SetupGetInfInformationA("Child.inf", INFINFO_DEFAULT_SEARCH,
                                                             nullptr, 0, &required);
         return std::to_string(got) + " " + Num(required);
       }},
      {"SetupQueryInfOriginalFileInformationA",
       [] {
         alignas(DWORD) BYTE block[sizeof(SP_INF_INFORMATION) + MAX_PATH] = {};
         auto* info = reinterpret_cast<PSP_INF_INFORMATION>(block);
         info->InfCount = 1;
         lstrcpyA(reinterpret_cast<char*>(info->VersionData), "C:\\store\\oem4.inf");
         SP_ORIGINAL_FILE_INFO_A original = {};
         original.cbSize = sizeof original;
         BOOL got = SetupApiBinding::SetupQueryInfOriginalFileInformationA(info, 0, nullptr,
                                                                          &original);
         return std::to_string(got) + " " + original.OriginalInfName;
       }},
  };
  return steps;
}

// One step by name: its result, or "unknown-step".
std::string RunStep(const std::string& name) {
  for (const Step& s : Steps())
    if (name == s.name) return s.run();
  return "unknown-step";
}

TEST_CHILD(binding_steps) {
  std::string out;
  for (int i = 0; i < argc; ++i) out += RunStep(argv[i]) + "\n";
  return WriteWholeFile("child_steps.txt", out) ? 0 : 1;
}

struct StepsRun {
  long exitCode = 0;  // the child's
  std::vector<std::string> results;  // one per step
  std::vector<Call> calls;
  std::string dir;
};

// A fresh scratch folder with an INF for the set-up steps, while the fakes
// (with the given variants) are the system's libraries unless placeFakes is false.
StepsRun Prepare(const std::string& folder, const std::vector<std::string>& variants,
                 bool placeFakes) {
  StepsRun run;
  run.dir = MakeScratchDir("platform\\" + folder);
  if (placeFakes) REQUIRE(fakestack::PlantSystemFakes(variants));
  else fakestack::RestoreSystemLibraries();
  WriteWholeFile(JoinPath(run.dir, "Child.inf"), "[Version]\r\nSignature=\"$Windows NT$\"\r\n");
  return run;
}

// Runs the steps (names separated by blanks) in this process, with the
// scratch folder as its current directory.
StepsRun RunSteps(const std::string& folder, const std::string& steps,
                  const std::vector<std::string>& variants = {}) {
  StepsRun run = Prepare(folder, variants, true);
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof saved, saved);
  SetCurrentDirectoryA(run.dir.c_str());
  for (size_t start = 0, end; start < steps.size(); start = end + 1) {
    end = std::min(steps.find(' ', start), steps.size());
    run.results.push_back(RunStep(steps.substr(start, end - start)));
  }
  run.calls = fakestack::ReadCalls(run.dir);
  // A group that a failed case left bound must not change the next case.
  for (const char* release : {"ReleaseRasApi", "ReleaseRasDlg", "ReleaseSetupApi"}) RunStep(release);
  SetCurrentDirectoryA(saved);
  return run;
}

// Runs the steps in a copy of this executable named exeName in the scratch
// folder (also its current folder). decoys: libraries lacking an entry point,
// put beside the child under the names of the three; beside: files of <run>\bin
// put beside the child as they are.
StepsRun RunStepsInChild(const std::string& folder, const std::string& steps, bool placeFakes,
                         const std::string& exeName,
                         const std::vector<std::string>& decoys = {},
                         const std::vector<std::string>& beside = {}) {
  StepsRun run = Prepare(folder, {}, placeFakes);
  for (const std::string& decoy : decoys)
    REQUIRE(CopyFileTo(fakestack::VariantPath(decoy),
                       JoinPath(run.dir, fakestack::VariantLibrary(decoy))));
  for (const std::string& file : beside) REQUIRE(CopyFileTo(BinPath(file), JoinPath(run.dir, file)));
  std::string exe = JoinPath(run.dir, exeName);
  REQUIRE(CopyFileTo(SelfPath(), exe));
  run.exitCode = RunChild(run.dir, "binding_steps", steps, exe, 30000);
  run.results = FileLines(JoinPath(run.dir, "child_steps.txt"));
  run.calls = fakestack::ReadCalls(run.dir);
  return run;
}

// The events of the log as "library event", for comparing whole sequences.
std::vector<std::string> Events(const std::vector<Call>& calls) {
  std::vector<std::string> out;
  for (const Call& c : calls) out.push_back(c.library + " " + c.event);
  return out;
}

const char kNotBoundRas[] = "4294967295";  // (DWORD)-1

// The three groups: their steps, a forwarding call of each with what it
// returns while unbound, and another call of the group (when it has one) for a
// library that lacks the first.
struct Group {
  const char *library, *bind, *release, *call, *otherCall, *notBound;
};
const Group kGroups[] = {
    {"rasapi32", "BindRasApi", "ReleaseRasApi", "RasEnumDevicesA", "RasDeleteEntryA", kNotBoundRas},
    {"rasdlg", "BindRasDlg", "ReleaseRasDlg", "RasDialDlgA", "RasDialDlgA", "-1"},
    {"setupapi", "BindSetupApi", "ReleaseSetupApi", "SetupCopyOEMInfA", "SetupUninstallOEMInfA", "0"},
};

// The logged value of an argument: its text, its digits, or "null".
std::string Logged(const Call& call, const char* key) {
  return call.IsNull(key) ? "null" : call.Text(key);
}

}  // namespace

TEST_CASE("forwarding calls of unbound groups return the not-bound value and call nothing") {
  // Before any bind, and after a bind and release of every group.
  const char* calls =
      "RasEnumDevicesA RasSetEntryPropertiesA RasSetEntryDialParamsA RasDeleteEntryA RasDialDlgA "
      "SetupCopyOEMInfA SetupUninstallOEMInfA SetupGetInfFileListA SetupGetInfInformationA "
      "SetupQueryInfOriginalFileInformationA";
  const std::vector<std::string> notBound = {kNotBoundRas, kNotBoundRas, kNotBoundRas,
                                             kNotBoundRas, "-1", "0", "0", "0  0", "0 0", "0 "};
  StepsRun before = RunSteps("unbound-before", calls);
  CHECK(before.results == notBound);
  CHECK(before.calls.empty());

  StepsRun after = RunSteps(
      "unbound-after", std::string("BindRasApi BindRasDlg BindSetupApi ReleaseRasApi ReleaseRasDlg "
                                   "ReleaseSetupApi ") + calls);
  std::vector<std::string> expected = {"1", "1", "1", "done", "done", "done"};
  expected.insert(expected.end(), notBound.begin(), notBound.end());
  CHECK(after.results == expected);
  CHECK(Events(after.calls) == std::vector<std::string>{"rasapi32 attach", "rasdlg attach",
                                                        "setupapi attach", "rasapi32 detach",
                                                        "rasdlg detach", "setupapi detach"});
}

TEST_CASE("bound groups forward arguments and results unchanged") {
  // The script makes results that only pass-through can produce.
  StepsRun run = RunSteps(
      "forward",
      "BindRasApi RasEnumDevicesA RasSetEntryPropertiesA RasSetEntryDialParamsA RasDeleteEntryA "
      "RasDeleteEntryA BindRasDlg RasDialDlgA BindSetupApi SetupCopyOEMInfA SetupCopyOEMInfA "
      "SetupGetInfFileListA SetupGetInfInformationA SetupQueryInfOriginalFileInformationA "
      "SetupUninstallOEMInfA ReleaseRasApi ReleaseRasDlg ReleaseSetupApi");
  // Results: 603 (size probe), written, params stored, deleted, then missing
  // (623); the dial dialog's TRUE; copied, then refused as already staged (0);
  // the store's list and its size, the information's size, the original name;
  // removed.
  const std::string inStore = JoinPath(fakestack::InfStoreDir(run.dir), "Child.inf");
  CHECK(run.results ==
        std::vector<std::string>{"1", "603", "0", "0", "0", "623", "1", "1", "1", "1", "0",
                                 "1 Child.inf 11", "1 " + Num(8 + inStore.size() + 1),
                                 "1 oem4.inf", "1", "done", "done", "done"});

  // How often each function was called, and the arguments of one call as the
  // fakes received them. Nothing calls the entry points that are only resolved.
  struct Arguments {
    const char *library, *function;
    size_t count, call;  // calls of that function; which one (0: the first)
    std::vector<const char*> keys;
    std::vector<std::string> values;
  };
  const Arguments arguments[] = {
      {"rasapi32", "RasSetEntryPropertiesA", 1, 0, {"phonebook", "entry", "size", "deviceInfo", "deviceInfoSize"},
       {"null", kEntry, Num(sizeof(RASENTRYA)), "null", "0"}},
      {"rasapi32", "RasSetEntryDialParamsA", 1, 0, {"removePassword"}, {"0"}},
      {"rasdlg", "RasDialDlgA", 1, 0, {"entry", "phoneNumber"}, {kEntry, "null"}},
      {"setupapi", "SetupCopyOEMInfA", 2, 0, {"source", "media", "mediaType", "copyStyle", "destSize"},
       {JoinPath(run.dir, "Child.inf"), run.dir, Num(SPOST_PATH), Num(SP_COPY_NOOVERWRITE), Num(MAX_PATH)}},
      {"setupapi", "SetupCopyOEMInfA", 2, 1, {"error"}, {Num(ERROR_FILE_EXISTS)}},
      {"setupapi", "SetupUninstallOEMInfA", 1, 0, {"name", "flags", "reserved"},
       {"child.inf", Num(SUOI_FORCEDELETE), "null"}},
      {"setupapi", "SetupGetInfFileListA", 1, 0, {"directory", "style", "size"},
       {"null", Num(INF_STYLE_WIN4), "64"}},
      {"setupapi", "SetupGetInfInformationA", 1, 0, {"inf", "search"},
       {"Child.inf", Num(INFINFO_DEFAULT_SEARCH)}},
      {"setupapi", "SetupQueryInfOriginalFileInformationA", 1, 0, {"inf", "platform"},
       {"C:\\store\\oem4.inf", "null"}},
      {"rasapi32", "RasEnumEntriesA", 0, 0, {}, {}},
      {"rasapi32", "RasGetEntryPropertiesA", 0, 0, {}, {}},
  };
  for (const Arguments& a : arguments) {
    INFO(std::string(a.function));
    std::vector<Call> calls = CallsOf(run.calls, a.library, a.function);
    CHECK(calls.size() == a.count);
    if (a.keys.empty()) continue;
    REQUIRE(a.call < calls.size());
    REQUIRE(a.keys.size() == a.values.size());
    std::string logged, expected;
    for (size_t k = 0; k < a.keys.size(); ++k) {
      logged += std::string(a.keys[k]) + "=" + Logged(calls[a.call], a.keys[k]) + " ";
      expected += std::string(a.keys[k]) + "=" + a.values[k] + " ";
    }
    CHECK(logged == expected);
  }
  // The records, byte for byte where the groups pass them on.
  std::string record = CallsOf(run.calls, "rasapi32", "RasSetEntryPropertiesA")[0].Bytes("record");
  CHECK(record.size() == sizeof(RASENTRYA));
  CHECK(DwordAt(record, 0) == sizeof(RASENTRYA));
  CHECK(TextAt(record, 27, 129) == kPhone);
  std::string params = CallsOf(run.calls, "rasapi32", "RasSetEntryDialParamsA")[0].Bytes("params");
  CHECK(TextAt(params, 4, 257) == kEntry);
  CHECK(TextAt(params, 519, 257) == "user");
  CHECK(DwordAt(CallsOf(run.calls, "rasdlg", "RasDialDlgA")[0].Bytes("info"), 0) == sizeof(RASDIALDLG));
}

TEST_CASE("a bound group binds again without a second load, and one release frees it") {
  for (const Group& g : kGroups) {
    INFO(std::string(g.library));
    const std::string bind = std::string(g.bind) + " ", release = std::string(g.release) + " ";
    const std::string loaded = std::string(g.library) + "? ";
    StepsRun run = RunSteps(std::string("rebind-") + g.library,
                            bind + bind + bind + loaded + release + loaded + release);
    CHECK(run.results == std::vector<std::string>{"1", "1", "1", "loaded", "done", "unloaded", "done"});
    // The last release finds nothing to free.
    CHECK(Events(run.calls) == std::vector<std::string>{std::string(g.library) + " attach",
                                                        std::string(g.library) + " detach"});
  }
}

TEST_CASE("a release without a bind frees nothing, and a group left bound stays to the end") {
  StepsRun run = RunStepsInChild("release-unbound",
                                 "ReleaseRasApi ReleaseRasDlg ReleaseSetupApi RasDeleteEntryA BindRasApi",
                                 true, "binding_child.exe");
  CHECK(run.exitCode == 0);
  CHECK(run.results == std::vector<std::string>{"done", "done", "done", kNotBoundRas, "1"});
  // Nothing releases a group at process end: the library goes with the process.
  CHECK(Events(run.calls) == std::vector<std::string>{"rasapi32 attach", "rasapi32 exit"});
}

TEST_CASE("a library lacking any entry point of its group fails the bind and is freed") {
  // Among them the entry points that are resolved but never called.
  const char* const variants[] = {
      "rasapi32-no-RasEnumDevicesA", "rasapi32-no-RasEnumEntriesA",
      "rasapi32-no-RasGetEntryPropertiesA", "rasapi32-no-RasSetEntryPropertiesA",
      "rasapi32-no-RasSetEntryDialParamsA", "rasapi32-no-RasDeleteEntryA",
      "rasdlg-no-RasDialDlgA", "setupapi-no-SetupCopyOEMInfA",
      "setupapi-no-SetupUninstallOEMInfA", "setupapi-no-SetupGetInfFileListA",
      "setupapi-no-SetupGetInfInformationA", "setupapi-no-SetupQueryInfOriginalFileInformationA",
  };
  for (const std::string variant : variants) {
    CAPTURE(variant);
    const Group& g = *std::find_if(std::begin(kGroups), std::end(kGroups), [&](const Group& x) {
      return variant.compare(0, strlen(x.library) + 1, std::string(x.library) + "-") == 0;
    });
    // The call after the failed bind is, where the group has another, one that
    // the variant does export: it must not be reached through a pointer left behind.
    const char* call = variant.find(g.call) == std::string::npos ? g.call : g.otherCall;
    StepsRun run = RunSteps("lacking\\" + variant,
                            std::string(g.bind) + " " + g.library + "? " + call, {variant});
    CHECK(run.results == std::vector<std::string>{"0", "unloaded", g.notBound});
    CHECK(Events(run.calls) ==
          std::vector<std::string>{std::string(g.library) + " attach", std::string(g.library) + " detach"});
  }
}

TEST_CASE("the groups load the system folder's libraries, never one beside the program") {
  // The decoys lack an entry point: a bind through one of them would fail.
  StepsRun run = RunStepsInChild("system-folder", "BindRasApi BindRasDlg BindSetupApi", true,
                                 "binding_child.exe",
                                 {"rasapi32-no-RasEnumDevicesA", "rasdlg-no-RasDialDlgA",
                                  "setupapi-no-SetupCopyOEMInfA"});
  CHECK(run.exitCode == 0);
  CHECK(run.results == std::vector<std::string>{"1", "1", "1"});
  for (const char* library : {"rasapi32", "rasdlg", "setupapi"}) {
    std::vector<Call> loads = CallsOf(run.calls, library, "attach");
    REQUIRE(loads.size() == 1);
    CHECK(loads[0].Text("module") ==
          JoinPath(SystemFolder(SystemSide::Native), std::string(library) + ".dll"));
  }
}

TEST_CASE("a group's library takes what it imports from the system folder only") {
  // The dial-dialog library is one that imports import_probe.dll, which notes
  // where it was loaded from; a copy of the probe lies beside the program and
  // in the current folder, where the loader's own search would look first.
  // The importer lacks RasDialDlgA: the bind fails either way, after the load.
  fakestack::RestoreSystemLibraries();
  PlantedSystemFile library("rasdlg.dll", BinPath("probe_importer.dll"));
  struct Case { const char* what; bool inSystemFolder; };
  const Case cases[] = {{"the import only beside the program and in the current folder", false},
                        {"the import in the system folder too", true}};
  for (const Case& c : cases) {
    INFO(std::string(c.what));
    PlantedSystemFile probe("import_probe.dll", c.inSystemFolder ? BinPath("import_probe.dll") : "");
    StepsRun run = RunStepsInChild("imports", "BindRasDlg", false, "binding_child.exe", {},
                                   {"import_probe.dll"});
    CHECK(run.exitCode == 0);
    CHECK(run.results == std::vector<std::string>{"0"});
    std::vector<std::string> loads = FileLines(JoinPath(run.dir, "import_probe.log"));
    if (c.inSystemFolder)
      CHECK(loads == std::vector<std::string>{probe.Path()});
    else
      CHECK(loads.empty());
  }
}

TEST_CASE("a library that does not load fails the bind and leaves the group unloaded") {
  // No fakes in the system folder, and Wine's own libraries disabled for it.
  const char kExe[] = "halvoran_noload_child.exe";
  WineAppDefaults settings(kExe);
  REQUIRE(settings.DisableDll("rasapi32"));
  REQUIRE(settings.DisableDll("rasdlg"));
  REQUIRE(settings.DisableDll("setupapi"));
  StepsRun run = RunStepsInChild("no-library",
                                 "BindRasApi BindRasDlg BindSetupApi rasapi32? rasdlg? setupapi? "
                                 "RasDeleteEntryA RasDialDlgA SetupUninstallOEMInfA ReleaseRasApi",
                                 false, kExe);
  CHECK(run.exitCode == 0);
  CHECK(run.results == std::vector<std::string>{"0", "0", "0", "unloaded", "unloaded", "unloaded",
                                                kNotBoundRas, "-1", "0", "done"});
}
