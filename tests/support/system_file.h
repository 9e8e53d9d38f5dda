// One file of the prefix's system folder replaced while the object lives: a
// fake system library (or a test control-panel file) put where programs that
// load by full system path find it, and Wine's own file put back afterwards.
//
// The replaced file is renamed away, never written over: a running process
// (the wine server's services, an earlier child) may have it mapped. The
// planted copy arrives by rename too, and leaves by rename before the saved
// file comes back. A copy saved by a run that did not end cleanly is put back
// before anything else is planted under that name.
//
// Side: Native is the system folder of this process (GetSystemDirectoryA:
// system32, which a 32-bit process under WOW64 reaches redirected to
// syswow64); Wow64 is the 32-bit one of a 64-bit prefix named directly
// (GetSystemWow64DirectoryA), where 32-bit programs under WOW64 load from,
// so that a 64-bit test can plant for them.
#pragma once
#include <string>

// The Windows folder, and a file of the system's INF store: <Windows folder>\inf\<name>.
std::string WindowsFolder();
std::string InfStoreFile(const std::string& name);

enum class SystemSide { Native, Wow64 };

// The folder of that side; empty when the system has none (no WOW64).
std::string SystemFolder(SystemSide side);

class PlantedSystemFile {
 public:
  // source: the file to put in place of `name`; empty: only make sure that no
  // file of that name is there.
  PlantedSystemFile(const std::string& name, const std::string& source,
                    SystemSide side = SystemSide::Native);
  ~PlantedSystemFile();
  PlantedSystemFile(const PlantedSystemFile&) = delete;
  PlantedSystemFile& operator=(const PlantedSystemFile&) = delete;

  bool Planted() const { return planted_; }  // in place as asked
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool saved_ = false;  // the system's own file waits under SavedPath()
  bool planted_ = false;
};
