// Staging and removing the driver INF: against Wine's own setup library with
// the shipped Zorvane.inf (it lands in the prefix's C:\windows\inf), and
// against the fake setup library for the failure paths. The program's folder
// holds the copied test executable and Zorvane.inf.
#include <doctest.h>

#include <windows.h>
#include <string.h>


#include "modem/driver_inf.h"
#include "tests/fakes/fake_stack.h"
#include "tests/modem/modem_test_support.h"
#include "tests/support/child.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"
#include "tests/support/system_file.h"

using fakestack::Call;

// args: stage|uninstall|uninstall-null|path. Exit code 10 + the result.
TEST_CHILD(driver_inf) {
  if (argc < 1) return 98;
  std::string what = argv[0];
  int result = 0;
  if (what == "stage") {
    result = StageDriverInf(RecordStatus, nullptr);
  } else if (what == "stage-null") {
    result = StageDriverInf(nullptr, nullptr);
  } else if (what == "uninstall") {
    result = UninstallDriverInf(RecordStatus);
  } else if (what == "uninstall-null") {
    result = UninstallDriverInf(nullptr);
  } else if (what == "path") {
    char path[MAX_PATH];
    memset(path, 'x', sizeof path);
    result = BuildDriverInfPath(path);
    if (memchr(path, '\0', sizeof path) == nullptr) return 91;  // unterminated
    WriteWholeFile("path.txt", path);
  }
  SaveStatus("status.txt");
  return 10 + result;
}

namespace {

struct InfRun {
  long exitCode;
  std::string status;
};

// Runs the child from the copy of the test executable in programDir, with
// currentDir as its current directory.
InfRun RunInf(const std::string& programDir, const std::string& currentDir, const char* what,
              const char* program = "modem_child.exe") {
  InfRun run;
  DeleteFileA(JoinPath(currentDir, "status.txt").c_str());
  run.exitCode = RunChild(currentDir, "driver_inf", what, JoinPath(programDir, program), 60000);
  run.status = FileText(JoinPath(currentDir, "status.txt"));
  return run;
}

std::string ProgramFolder(const std::string& name, bool withInf) {
  std::string dir = MakeScratchDir(name);
  REQUIRE(CopyFileTo(SelfPath(), JoinPath(dir, "modem_child.exe")));
  if (withInf) REQUIRE(CopyFileTo(BinPath("Zorvane.inf"), JoinPath(dir, "Zorvane.inf")));
  return dir;
}

}  // namespace

TEST_CASE("driver INF: staged by Wine's setup library, then already there, then removed alone") {
  fakestack::RestoreSystemLibraries();  // Wine's own setup library
  std::string program = ProgramFolder("driverinf\\real", true);
  const std::string staged = InfStoreFile("Zorvane.inf");
  RunInf(program, program, "uninstall");  // a copy left by an earlier run
  REQUIRE_FALSE(FileExists(staged));

  InfRun first = RunInf(program, program, "stage");
  CHECK(first.exitCode == 11);
  CHECK(first.status == "Installing setup file\nINF file: " + staged + "\nSuccessfully copied setup file\n");
  CHECK(FileExists(staged));

  InfRun second = RunInf(program, program, "stage");
  CHECK(second.exitCode == 11);
  CHECK(second.status == "Installing setup file\nINF file: " + staged + "\nSetup file already installed\n");

  // Another vendor's INF under a Windows store name: Wine's library gives its
  // own name as the original one, so it is not taken for ours.
  const std::string foreign = InfStoreFile("oem90.inf");
  REQUIRE(WriteWholeFile(foreign, "[Version]\r\nSignature=\"$Windows NT$\"\r\n"));
  InfRun removed = RunInf(program, program, "uninstall");
  CHECK(removed.exitCode == 11);
  CHECK(removed.status == "");
  CHECK_FALSE(FileExists(staged));
  CHECK(FileExists(foreign));
  CHECK(RunInf(program, program, "uninstall").exitCode == 10);
  DeleteFileA(foreign.c_str());
  DeleteFileA(InfStoreFile("Zorvane.pnf").c_str());  // Wine's precompiled copy stays behind
}

TEST_CASE("driver INF: a missing source is no staged INF, whatever Wine's library leaves in the name") {
  // Wine's library fails with error 2 here but writes into the destination
  // buffer; only the store's "already there" answer may count as staged.
  std::string program = ProgramFolder("driverinf\\real_missing", false);
  InfRun run = RunInf(program, program, "stage");
  CHECK(run.exitCode == 10);
  CHECK(run.status == "Installing setup file\n");
}

TEST_CASE("driver INF: the source comes from the program's folder, the media from the current one") {
  std::string program = ProgramFolder("driverinf\\fake_program", true);
  REQUIRE(fakestack::PlantSystemFakes());
  std::string current = MakeScratchDir("driverinf\\fake_current");
  InfRun run = RunInf(program, current, "stage");
  CHECK(run.exitCode == 11);
  std::vector<Call> copies = fakestack::CallsOf(fakestack::ReadCalls(current), "setupapi", "SetupCopyOEMInfA");
  REQUIRE(copies.size() == 1);
  CHECK(copies[0].Text("source") == JoinPath(program, "Zorvane.inf"));
  CHECK(copies[0].Text("media") == current);
  CHECK(copies[0].Number("mediaType") == 1);
  CHECK(copies[0].Number("copyStyle") == 8);
  CHECK(copies[0].Number("destSize") == 260);
  CHECK(copies[0].IsNull("requiredSize"));
  CHECK(copies[0].IsNull("filePart"));
  std::string staged = JoinPath(fakestack::InfStoreDir(current), "Zorvane.inf");
  CHECK(run.status == "Installing setup file\nINF file: " + staged + "\nSuccessfully copied setup file\n");
}

TEST_CASE("driver INF: the setup library's answers, as the fake scripts them") {
  struct Case { const char* what; bool withInf; const char* script; long exitCode; const char* tail; };
  const Case cases[] = {
      {"no Zorvane.inf", false, "", 10, ""},
      {"failed, destination empty", true, "SetupCopyOEMInfA failed\n", 10, ""},
      {"already staged, destination named", true, "SetupCopyOEMInfA staged\n", 11,
       "\nSetup file already installed\n"},
  };
  int n = 0;
  for (const Case& c : cases) {
    CAPTURE(c.what);
    std::string dir = ProgramFolder("driverinf\\scripted" + std::to_string(n++), c.withInf);
    REQUIRE(fakestack::PlantSystemFakes());
    REQUIRE(fakestack::WriteScript(dir, c.script));
    InfRun run = RunInf(dir, dir, "stage");
    CHECK(run.exitCode == c.exitCode);
    std::string expected = "Installing setup file\n";
    if (*c.tail) expected += "INF file: " + JoinPath(fakestack::InfStoreDir(dir), "Zorvane.inf") + c.tail;
    CHECK(run.status == expected);
    // Staging keeps the library bound: it is still loaded when the process ends.
    std::vector<Call> calls = fakestack::CallsOf(fakestack::ReadCalls(dir), "setupapi", "exit");
    CHECK(calls.size() == 1);
  }
}

TEST_CASE("driver INF: removal finds every copy by its original name, forced; the library freed") {
  // Windows names the copies oem<N>.inf ("InfStore windows"); Wine keeps the
  // INF's name, which only the fixed name finds.
  const char kWindows[] = "InfStore windows\n";
  struct Seed { const char* store; const char* original; };
  struct Case {
    const char* what;
    std::string script;
    bool stageFirst;
    std::vector<Seed> seeds;
    std::vector<std::string> removals;  // the names asked for, in order
    long exitCode;
    std::vector<std::string> left;
  };
  const Case cases[] = {
      {"Wine's naming: staged, removed by the fixed name", "", true, {}, {"zorvane.inf"}, 11, {}},
      {"Windows' naming: staged as oem0.inf", kWindows, true, {}, {"oem0.inf"}, 11, {}},
      {"two copies, both removed", kWindows, false,
       {{"oem3.inf", "Zorvane.inf"}, {"oem5.inf", "ZORVANE.INF"}}, {"oem3.inf", "oem5.inf"}, 11, {}},
      {"another vendor's copy left alone", kWindows, false,
       {{"oem0.inf", "Other.inf"}, {"oem1.inf", "Zorvane.inf"}}, {"oem1.inf"}, 11, {"oem0.inf"}},
      {"no copy at all: the fixed name", kWindows, false, {{"oem0.inf", "Other.inf"}},
       {"zorvane.inf"}, 10, {"oem0.inf"}},
      {"one of two removals fails", kWindows + std::string("SetupUninstallOEMInfA#2 0\n"), false,
       {{"oem3.inf", "Zorvane.inf"}, {"oem5.inf", "Zorvane.inf"}}, {"oem3.inf", "oem5.inf"}, 10,
       {"oem5.inf"}},
      {"the store cannot be listed: the fixed name", kWindows + std::string("SetupGetInfFileListA 0\n"),
       false, {{"oem1.inf", "Zorvane.inf"}}, {"zorvane.inf"}, 10, {"oem1.inf"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    CAPTURE(c.what);
    std::string dir = ProgramFolder("driverinf\\uninstall" + std::to_string(n++), true);
    REQUIRE(fakestack::PlantSystemFakes());
    REQUIRE(fakestack::WriteScript(dir, c.script));
    for (const Seed& seed : c.seeds)
      REQUIRE(fakestack::SeedStoreCopy(dir, seed.store, seed.original, JoinPath(dir, "Zorvane.inf")));
    if (c.stageFirst) REQUIRE(RunInf(dir, dir, "stage").exitCode == 11);

    InfRun run = RunInf(dir, dir, "uninstall");
    CHECK(run.exitCode == c.exitCode);
    CHECK(run.status == "");
    CHECK(fakestack::StagedInfs(dir) == c.left);
    std::vector<Call> calls = fakestack::ReadCalls(dir);
    std::vector<Call> removals = fakestack::CallsOf(calls, "setupapi", "SetupUninstallOEMInfA");
    std::vector<std::string> names;
    for (const Call& removal : removals) {
      names.push_back(removal.Text("name"));
      CHECK(removal.Number("flags") == 1);
      CHECK(removal.IsNull("reserved"));
    }
    CHECK(names == c.removals);
    CHECK(calls.back().library == "setupapi");
    CHECK(calls.back().event == "detach");
  }
}

TEST_CASE("driver INF: a null callback or an incomplete library does nothing") {
  struct Case { const char* what; std::vector<std::string> variants; const char* action; };
  const Case cases[] = {
      {"stage, null callback", {}, "stage-null"},
      {"uninstall, null callback", {}, "uninstall-null"},
      {"stage, no SetupGetInfFileListA", {"setupapi-no-SetupGetInfFileListA"}, "stage"},
      {"uninstall, no SetupGetInfFileListA", {"setupapi-no-SetupGetInfFileListA"}, "uninstall"},
      {"uninstall, no SetupGetInfInformationA", {"setupapi-no-SetupGetInfInformationA"}, "uninstall"},
      {"uninstall, no SetupQueryInfOriginalFileInformationA",
       {"setupapi-no-SetupQueryInfOriginalFileInformationA"}, "uninstall"},
  };
  int n = 0;
  for (const Case& c : cases) {
    CAPTURE(c.what);
    std::string dir = ProgramFolder("driverinf\\nothing" + std::to_string(n++), true);
    REQUIRE(fakestack::PlantSystemFakes(c.variants));
    InfRun run = RunInf(dir, dir, c.action);
    CHECK(run.exitCode == 10);
    CHECK(run.status == "");
    std::vector<Call> calls = fakestack::ReadCalls(dir);
    CHECK(fakestack::CountOf(calls, "setupapi", "SetupCopyOEMInfA") == 0);
    CHECK(fakestack::CountOf(calls, "setupapi", "SetupUninstallOEMInfA") == 0);
    CHECK(fakestack::CountOf(calls, "setupapi", "SetupGetInfFileListA") == 0);
    CHECK(fakestack::CountOf(calls, "setupapi", "exit") == 0);  // nothing left loaded
  }
}

TEST_CASE("driver INF: a path that does not fit fails cleanly") {
  fakestack::RestoreSystemLibraries();  // Wine's own setup library
  char fits[MAX_PATH];
  memset(fits, 'x', sizeof fits);
  CHECK(BuildDriverInfPath(fits) == 1);
  REQUIRE(memchr(fits, '\0', sizeof fits) != nullptr);
  CHECK(std::string(fits) == JoinPath(SelfDir(), "Zorvane.inf"));

  // A program folder of 248 characters: the program's own path (with "m.exe")
  // fits in 260 bytes, "<folder>\\Zorvane.inf" does not.
  std::string base = MakeScratchDir("driverinf\\long");
  std::string dir = FolderOfLength(base, 248);
  REQUIRE(dir.size() == 248);
  REQUIRE(FileExists(dir));
  const std::string program = JoinPath(dir, "m.exe");
  REQUIRE(CopyFileTo(SelfPath(), program));

  InfRun path = RunInf(dir, base, "path", "m.exe");
  CHECK(path.exitCode == 10);
  CHECK(FileText(JoinPath(base, "path.txt")) == "");
  DeleteFileA(InfStoreFile("Zorvane.inf").c_str());  // what another test may have staged
  InfRun stage = RunInf(dir, base, "stage", "m.exe");
  CHECK(stage.exitCode == 10);
  CHECK(stage.status == "Installing setup file\n");
  CHECK_FALSE(FileExists(InfStoreFile("Zorvane.inf")));

  CHECK(RemoveScratchTree(base));
}
