#include "tests/support/system_file.h"

#include <windows.h>

#include "tests/support/process.h"

namespace {

const char kSavedSuffix[] = ".halvoran-saved";
const char kLeavingSuffix[] = ".halvoran-leaving";

std::string Saved(const std::string& path) { return path + kSavedSuffix; }

// Moves path out of the way under a name of its own, and deletes it when no
// process holds it (else a later clean-up finds it).
void MoveAway(const std::string& path) {
  std::string leaving = path + kLeavingSuffix + std::to_string(GetTickCount()) + "." +
                        std::to_string(GetCurrentProcessId());
  if (MoveFileExA(path.c_str(), leaving.c_str(), MOVEFILE_REPLACE_EXISTING))
    DeleteFileA(leaving.c_str());
}

// The system's own file back in place of whatever is there now.
bool PutBack(const std::string& path) {
  if (!FileExists(Saved(path))) return false;
  if (FileExists(path)) MoveAway(path);
  return MoveFileA(Saved(path).c_str(), path.c_str()) != 0;
}

}  // namespace

std::string WindowsFolder() {
  char dir[MAX_PATH] = {};
  GetWindowsDirectoryA(dir, sizeof dir);
  return dir;
}

std::string InfStoreFile(const std::string& name) { return JoinPath(WindowsFolder(), "inf\\" + name); }

std::string SystemFolder(SystemSide side) {
  char dir[MAX_PATH] = {};
  UINT length = side == SystemSide::Native ? GetSystemDirectoryA(dir, sizeof dir)
                                           : GetSystemWow64DirectoryA(dir, sizeof dir);
  return length > 0 && length < sizeof dir ? std::string(dir, length) : std::string();
}

PlantedSystemFile::PlantedSystemFile(const std::string& name, const std::string& source,
                                     SystemSide side) {
  std::string folder = SystemFolder(side);
  if (folder.empty()) return;
  path_ = folder + "\\" + name;
  PutBack(path_);  // left saved by a run that did not end cleanly
  if (FileExists(path_)) {
    if (!MoveFileA(path_.c_str(), Saved(path_).c_str())) return;
    saved_ = true;
  }
  if (source.empty()) {
    planted_ = true;
    return;
  }
  std::string arriving = path_ + ".halvoran-arriving";
  planted_ = CopyFileA(source.c_str(), arriving.c_str(), FALSE) &&
             MoveFileA(arriving.c_str(), path_.c_str());
  if (!planted_) DeleteFileA(arriving.c_str());
}

PlantedSystemFile::~PlantedSystemFile() {
  if (path_.empty()) return;
  if (saved_) {
    PutBack(path_);
  } else if (FileExists(path_)) {
    MoveAway(path_);  // planted where the system had nothing
  }
}
