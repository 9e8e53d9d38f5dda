// A scratch folder laid out as the product's installer leaves it for a job:
// the companion programs, the driver INF and the instruction texts, and the job
// runner; the fake remote-access libraries (and, when asked, the fake setup
// library) are the system's libraries meanwhile. Also the machine-wide things a job meets: the modem panel, the
// accelerator's and the earlier release's records.
#pragma once
#include <string>
#include <vector>

struct JobFolder {
  // fakeSetupLibrary false: the program uses Wine's real setup library. The
  // shipped companions come from the folder of the program under test
  // (ShippedFile). The fakes are the system's libraries: the x86_64 ones in
  // system32 here; the 32-bit program finds the i686 ones in its system folder,
  // where the emulated Wine's session put them.
  JobFolder(const std::string& name, bool fakeSetupLibrary);
  std::string Path(const std::string& file) const;
  // Before a run of the 32-bit program: its per-program override picks the
  // fake or Wine's own setup library (the fakes in its system folder would
  // otherwise always win).
  void ChooseSetupLibrary() const;

  // The panel the job opens closes itself; with addsModem it has "added" the
  // modem, which the fake remote-access library then lists.
  void SetPanel(bool addsModem) const;
  // Release 2.0 as a 32-bit program on 64-bit Windows registers it, with files
  // in the folder's "old" subfolder; its record names that folder, or directory.
  void SeedEarlierRelease(const std::string& directory = "") const;
  // The accelerator, installed in the folder's "accel" subfolder, with or
  // without its front end; its record names the folder as given, or, as Windows
  // Installer writes directories, with a separator at the end.
  void SeedAccelerator(bool withFrontEnd, bool separatorAtEnd = false) const;

  std::string dir;
  bool fakeSetupLibrary;
};

// Before a run of the 32-bit program, wherever it runs from: the fake setup
// library (fake) or Wine's own (see JobFolder::ChooseSetupLibrary).
void ChooseProgramSetupLibrary(bool fake);

// The settings of the test panel for a job run in dir (see JobFolder::SetPanel).
void WritePanelSettings(const std::string& dir, bool addsModem);

// Where a program under test finds the accelerator's and the earlier release's
// records, seen from this 64-bit test: the 32-bit program's view is below
// Wow6432Node.
std::string ProductRecordRoot();
// Puts the test control-panel file in the system folder as telephon.cpl and
// modem.cpl, the panels the job may open.
void InstallTestPanels();
// The driver INF's removal from Wine's own INF store (where the real setup
// library stages it).
void UnstageDriverInf();
// Removes every registry record the jobs' tests make.
void ClearProductRecords();

// The transcript of a run: "status <text>", "box <text>", or
// "<library> <function>", in order (loads and frees left out).
std::vector<std::string> Transcript(const std::string& dir);
// Empty when `expected` occurs in `events` in this order (other events may
// come between); otherwise the first expected event that was not found in turn.
std::string FirstMissingInOrder(const std::vector<std::string>& events,
                                const std::vector<std::string>& expected);
