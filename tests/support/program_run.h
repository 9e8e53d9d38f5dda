// One run of the setup program in a scratch folder, as its installer would
// start it: the program (a build from <run folder>\bin) copied in under its
// shipped name, the folder as the current directory, files put beside it, and
// its progress dialog found and read from outside.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "tests/support/process.h"

// The real program, and its test variant with scripted sequences. The real
// program is the x86_64 build in <run>\bin, or, when the environment names a
// copy of the shipped folder (HALVORAN_SHIPPED_DIR: the i686 runs in the
// emulated 32-bit Wine), the shipped i686 program in that folder.
std::string RealProgramPath();       // <shipped folder>\HalvoranInstallWinApp.exe
// A file that ships beside the program: from that folder, or from <run>\bin.
std::string ShippedFile(const std::string& name);
// True when the program under test is the shipped 32-bit one.
bool ProgramIs32Bit();
std::string ScriptedProgramPath();   // <run>\bin\scripted\HalvoranInstallWinApp.exe

constexpr const char kProgramName[] = "HalvoranInstallWinApp.exe";
constexpr const char kDialogCaption[] = "Installing Zorvane PPP Modem and Internet Connection";
constexpr const char kBoxCaption[] = "HalvoranInstallWinApp";

class ProgramRun {
 public:
  // A fresh scratch folder `name`; the program goes into its subfolder
  // `programFolder` (empty: the folder itself).
  ProgramRun(const std::string& name, const std::string& program,
             const std::string& programFolder = "");

  const std::string& Dir() const { return dir_; }            // the current directory
  const std::string& ProgramPath() const { return program_; }
  std::string PathOf(const std::string& file) const { return JoinPath(dir_, file); }
  bool Put(const std::string& file, const std::string& content) const;
  bool Read(const std::string& file, std::string* content) const;
  bool Has(const std::string& file) const { return FileExists(PathOf(file)); }

  // Starts the program with this exact command line (what GetCommandLineA
  // returns in it); Start uses "HalvoranInstallWinApp.exe" and the arguments.
  bool StartWithLine(const std::string& commandLine);
  bool Start(const std::string& arguments);

  // The progress dialog (the visible dialog of the process with the
  // instruction text area); null when none came in time.
  HWND WaitForDialog(DWORD timeoutMs = 20000) const;
  // A visible message box of the program; null when none came in time.
  HWND WaitForBox(DWORD timeoutMs = 20000) const;

  // Exit code, or -1 when the program did not end in time (it is then killed).
  long Wait(DWORD timeoutMs = 20000) { return process_.Wait(timeoutMs); }
  bool Running() const { return process_.Running(); }
  DWORD Id() const { return process_.Id(); }

  // The lines of a text file the run left (empty when there is none).
  std::vector<std::string> Lines(const std::string& file) const;

 private:
  std::string dir_;
  std::string program_;
  ChildProcess process_;
};

// The dialog of process pid that has a control with this id; null when none.
HWND FindDialogWithControl(DWORD pid, int controlId);
