#include "tests/support/program_run.h"

#include "tests/support/scratch.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"

namespace {
std::string ShippedDir() { return EnvironmentValue("HALVORAN_SHIPPED_DIR"); }
}  // namespace

bool ProgramIs32Bit() { return !ShippedDir().empty(); }

std::string ShippedFile(const std::string& name) {
  std::string dir = ShippedDir();
  return dir.empty() ? BinPath(name) : JoinPath(dir, name);
}

std::string RealProgramPath() { return ShippedFile(kProgramName); }

std::string ScriptedProgramPath() {
  return BinPath(std::string("scripted\\") + kProgramName);
}

ProgramRun::ProgramRun(const std::string& name, const std::string& program,
                       const std::string& programFolder)
    : dir_(MakeScratchDir(name)) {
  std::string programDir = dir_;
  if (!programFolder.empty()) {
    programDir = JoinPath(dir_, programFolder);
    CreateDirectoryA(programDir.c_str(), nullptr);
  }
  program_ = JoinPath(programDir, kProgramName);
  CopyFileTo(program, program_);
}

bool ProgramRun::Put(const std::string& file, const std::string& content) const {
  return WriteWholeFile(PathOf(file), content);
}

bool ProgramRun::Read(const std::string& file, std::string* content) const {
  return ReadWholeFile(PathOf(file), content);
}

bool ProgramRun::StartWithLine(const std::string& commandLine) {
  return process_.Start(program_, commandLine, dir_);
}

bool ProgramRun::Start(const std::string& arguments) {
  std::string line = kProgramName;
  if (!arguments.empty()) line += " " + arguments;
  return StartWithLine(line);
}

HWND FindDialogWithControl(DWORD pid, int controlId) {
  return pid ? FindTopWindow(pid, "#32770", nullptr, controlId) : nullptr;
}

HWND ProgramRun::WaitForDialog(DWORD timeoutMs) const {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND dialog = FindDialogWithControl(process_.Id(), IDC_INSTRUCTION_TEXT)) return dialog;
    if (GetTickCount() - start >= timeoutMs || !process_.Running()) return nullptr;
    Sleep(20);
  }
}

HWND ProgramRun::WaitForBox(DWORD timeoutMs) const {
  return WaitForTopWindow(process_.Id(), "#32770", kBoxCaption, timeoutMs);
}

std::vector<std::string> ProgramRun::Lines(const std::string& file) const {
  return FileLines(PathOf(file));
}
