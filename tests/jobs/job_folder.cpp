#include "tests/jobs/job_folder.h"

#include <windows.h>
#include <setupapi.h>

#include "tests/fakes/fake_stack.h"
#include "tests/support/process.h"
#include "tests/support/program_run.h"
#include "tests/support/registry_scratch.h"
#include "tests/support/scratch.h"
#include "tests/support/system_file.h"

namespace {

const char* const kShipped[] = {"grep.exe", "CPL64.exe", "devcon_64.exe", "Zorvane.inf",
                                "ModemInstallWinAppText.txt", "ModemUninstallWinAppText.txt"};

const char kEarlierRoot[] = "SOFTWARE\\Wow6432Node\\Tervaloxen";
const char kCurrentRoot[] = "SOFTWARE\\Tervaloxen";

}  // namespace

JobFolder::JobFolder(const std::string& name, bool fakeSetupLibrary)
    : dir(MakeScratchDir("jobs\\" + name)), fakeSetupLibrary(fakeSetupLibrary) {
  fakestack::PlantSystemFakes({}, fakeSetupLibrary);
  for (const char* file : kShipped) CopyFileTo(ShippedFile(file), Path(file));
  CopyFileTo(BinPath("job_runner.exe"), Path("job_runner.exe"));
  // A 64-bit program is never under WOW64, so the 32-bit name is what it runs.
  CopyFileTo(ProgramIs32Bit() ? ShippedFile("devcon_32.exe") : BinPath("devcon_64.exe"),
             Path("devcon_32.exe"));
}

void JobFolder::ChooseSetupLibrary() const { ChooseProgramSetupLibrary(fakeSetupLibrary); }

void ChooseProgramSetupLibrary(bool fake) {
  if (!ProgramIs32Bit()) return;
  SetStringValue(HKEY_CURRENT_USER,
                 std::string("Software\\Wine\\AppDefaults\\") + kProgramName + "\\DllOverrides",
                 "setupapi", fake ? "native,builtin" : "builtin");
}

std::string JobFolder::Path(const std::string& file) const { return JoinPath(dir, file); }

void JobFolder::SetPanel(bool addsModem) const { WritePanelSettings(dir, addsModem); }

void WritePanelSettings(const std::string& dir, bool addsModem) {
  std::string ini = "count=2\nautoclose_ms=100\n";
  if (addsModem) ini += "append_file=fake_devices.txt\nappend_line=modem Zorvane PPP Data Modem\n";
  WriteWholeFile(JoinPath(dir, "test_applet.ini"), ini);
}

void JobFolder::SeedEarlierRelease(const std::string& directory) const {
  std::string old = Path("old");
  CreateDirectoryA(old.c_str(), nullptr);
  CreateDirectoryA((old + "\\bin").c_str(), nullptr);
  WriteWholeFile(old + "\\tervgui.exe", "old front end");
  WriteWholeFile(old + "\\bin\\data.dat", "old data");
  SetStringValue(HKEY_LOCAL_MACHINE, std::string(kEarlierRoot) + "\\Brand", "APP1",
                 "Zorvane Halvoran 2.0");
  SetStringValue(HKEY_LOCAL_MACHINE, kEarlierRoot, "InstallationDir",
                 directory.empty() ? old : directory);
  CreateKeyPath(HKEY_CURRENT_USER, "Software\\Tervaloxen\\Settings");
}

void JobFolder::SeedAccelerator(bool withFrontEnd, bool separatorAtEnd) const {
  std::string accel = Path("accel");
  CreateDirectoryA(accel.c_str(), nullptr);
  if (withFrontEnd) CopyFileTo(BinPath("job_runner.exe"), accel + "\\tervgui.exe");
  SetStringValue(HKEY_LOCAL_MACHINE, ProductRecordRoot() + "\\Brand", "APP1",
                 "Zorvane Halvoran 3 Web Accelerator");
  SetStringValue(HKEY_LOCAL_MACHINE, ProductRecordRoot(), "InstallationDir",
                 separatorAtEnd ? accel + "\\" : accel);
}

std::string ProductRecordRoot() { return ProgramIs32Bit() ? kEarlierRoot : kCurrentRoot; }

void InstallTestPanels() {
  const std::string system = SystemFolder(SystemSide::Native);
  CopyFileTo(BinPath("test_applet.cpl"), JoinPath(system, "telephon.cpl"));
  CopyFileTo(BinPath("test_applet.cpl"), JoinPath(system, "modem.cpl"));
}

void UnstageDriverInf() { SetupUninstallOEMInfA("Zorvane.inf", SUOI_FORCEDELETE, nullptr); }

void ClearProductRecords() {
  ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, kEarlierRoot);
  ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, kCurrentRoot);
  ForceDeleteKeyTree(HKEY_CURRENT_USER, "Software\\Tervaloxen");
  ForceDeleteKeyTree(HKEY_LOCAL_MACHINE,
                     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tervaloxen");
}

std::vector<std::string> Transcript(const std::string& dir) {
  std::vector<std::string> events;
  for (const fakestack::Call& call : fakestack::ReadCalls(dir)) {
    if (call.event == "attach" || call.event == "detach" || call.event == "exit") continue;
    if (call.library == "job") events.push_back(call.event + " " + call.Text("text"));
    else events.push_back(call.library + " " + call.event);
  }
  return events;
}

std::string FirstMissingInOrder(const std::vector<std::string>& events,
                                const std::vector<std::string>& expected) {
  size_t at = 0;
  for (const std::string& want : expected) {
    while (at < events.size() && events[at] != want) ++at;
    if (at == events.size()) return want;
    ++at;
  }
  return std::string();
}
