// Clean-up of the earlier release against Wine's registry and file system: the
// release's records at their fixed keys in the project's own prefix, its
// installation directory in a scratch folder, its program group where the shell
// keeps every user's programs. Every delete passes the file-operation guard, so
// that a fault cannot reach beyond those places.
#include <doctest.h>

#include <shlobj.h>
#include <ctype.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/win_app.h"  // AfxGetAppName
#include "framework/wnd.h"
#include "job/product_names.h"
#include "sequences/previous_installation.h"
#include "tests/seams/scripted_probes.h"
#include "tests/support/file_operation_guard.h"
#include "tests/support/process.h"
#include "tests/support/registry_scratch.h"
#include "tests/support/scratch.h"
#include "tests/support/status_recorder.h"
#include "tests/support/window_driver.h"

namespace {

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  REQUIRE(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK);
  return path;
}

// The fixed place that was once taken for the group: a folder there is not it.
const char kOldGroupFolder[] = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Zorvane";
const char* const kOldGroupParents[] = {
    "C:\\Documents and Settings",
    "C:\\Documents and Settings\\All Users",
    "C:\\Documents and Settings\\All Users\\Start Menu",
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs",
};

struct Tree {
  HKEY root;
  const char* path;
};
const Tree kTrees[] = {
    {HKEY_LOCAL_MACHINE, "Software\\Tervaloxen"},
    {HKEY_CURRENT_USER, "Software\\Tervaloxen"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tervaloxen"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Tervaloxen"},
};
const std::string kProductKey = kTrees[3].path;
const std::string kBrandKey = kProductKey + "\\Brand";

const char kQuestion[] =
    "Setup has detected a previous installation of Halvoran v2.0. This will be automatically "
    "uninstalled. Continue?";
const char kRemoved[] = "The previous installation has been successfully removed.";

const char kChecking[] = "Checking for previous installation ...\r\n";
const char kFound[] = "Found previous installation\r\n";
const char kRemovingKeys[] = "Removing Registry Keys ...\r\n";
const char kRemovingFiles[] = "Removing Files ...\r\n";
const char kRemovingGroup[] = "Removing Program Group...\r\n";

// Made by the build (see CMakeLists.txt): programs\Zorvane, a link to group_target.
std::string Links() { return SelfDir() + "\\sequences_links"; }
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The progress dialog's stand-in: a window object with a real, hidden window.
class ProgressWindow : public CWnd {
 public:
  ProgressWindow() {
    m_hWnd = CreateWindowExA(0, "STATIC", "progress", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
  }
  ~ProgressWindow() override { DestroyWindow(m_hWnd); }
};

void MakeFile(const std::string& path) { REQUIRE(WriteWholeFile(path, "data")); }
void MakeFolder(const std::string& path) { REQUIRE(CreateDirectoryA(path.c_str(), nullptr)); }
bool IsEmptyFolder(const std::string& path) { return FileExists(path) && FolderEntries(path).empty(); }

// Stands for the scratch installation directory in a release's directory value.
const char kInstallationDirectory[] = "<installation directory>";

struct EarlierRelease {
  bool brand = true;
  std::string brandData = kEarlierReleaseBrand;
  bool directoryValue = true;
  std::string directory = kInstallationDirectory;
  DWORD directoryType = REG_SZ;  // REG_BINARY: the bytes of directory, no terminator
  bool group = true;
  bool oldGroup = false;     // someone else's Zorvane at the old fixed place
  bool groupIsLink = false;  // the shell's programs folder holds a Zorvane that is a link
  int lockedTree = 0;  // 1 to 4: a key in that tree may not be deleted
};

// One earlier release, set up fresh and taken away again.
class Fixture {
 public:
  Fixture() {
    scratch_ = MakeScratchDir("previous_installation");
    installDir = scratch_ + "\\Halvoran 2.0";
    programs_ = ShellFolder(CSIDL_COMMON_PROGRAMS);
    group = programs_ + "\\Zorvane";
    GuardFileOperations({ScratchRoot(), group});
    FileOperationCalls().clear();
    ClearRecordedStatus();
    ClearRegistry();
    RemoveGroupFolders();
    for (const char* parent : kOldGroupParents) createdParents_.push_back(!FileExists(parent));
    REQUIRE(WriteWholeFile(Links() + "\\group_target\\canary.txt", "canary"));
  }
  ~Fixture() {
    ClearRegistry();
    RemoveGroupFolders();
    for (size_t i = createdParents_.size(); i-- > 0;)
      if (createdParents_[i]) RemoveDirectoryA(kOldGroupParents[i]);
    RemoveScratchTree(scratch_);
  }

  void Install(const EarlierRelease& release) {
    for (const Tree& tree : kTrees) {
      REQUIRE(SetStringValue(tree.root, tree.path, "Version", "2.0"));
      REQUIRE(SetStringValue(tree.root, std::string(tree.path) + "\\Marker", "Value", "x"));
    }
    if (release.brand) REQUIRE(SetStringValue(HKEY_LOCAL_MACHINE, kBrandKey, "APP1", release.brandData));
    const std::string directory =
        release.directory == kInstallationDirectory ? installDir : release.directory;
    if (release.directoryValue && release.directoryType == REG_BINARY)
      REQUIRE(SetValueBytes(HKEY_LOCAL_MACHINE, kProductKey, "InstallationDir", directory, REG_BINARY));
    else if (release.directoryValue)
      REQUIRE(SetStringValue(HKEY_LOCAL_MACHINE, kProductKey, "InstallationDir", directory));
    MakeInstallationFiles(installDir);
    if (release.group) {
      MakeFolder(group);
      MakeFile(group + "\\Halvoran.lnk");
      MakeFolder(group + "\\Extras");
      MakeFile(group + "\\Extras\\readme.txt");
    }
    if (release.oldGroup) {
      for (const char* parent : kOldGroupParents) CreateDirectoryA(parent, nullptr);
      MakeFolder(kOldGroupFolder);
      MakeFile(std::string(kOldGroupFolder) + "\\someone.lnk");
    }
    if (release.lockedTree) {
      const Tree& tree = kTrees[release.lockedTree - 1];
      REQUIRE(LockKey(tree.root, std::string(tree.path) + "\\Marker", DELETE));
    }
  }

  // The directory's contents, and siblings that must outlive them: one whose name
  // begins with the directory's name, and a file beside the directory.
  void MakeInstallationFiles(const std::string& dir) {
    MakeFolder(dir);
    MakeFile(dir + "\\tervgui.exe");
    MakeFolder(dir + "\\sub");
    MakeFile(dir + "\\sub\\b.txt");
    MakeFolder(dir + "\\sub\\deeper");
    MakeFile(dir + "\\sub\\deeper\\c.txt");
    MakeFolder(dir + " Backup");
    MakeFile(dir + " Backup\\keep.txt");
    MakeFile(scratch_ + "\\keep.txt");
  }

  bool FilesIntact() const {
    return FileExists(installDir + "\\tervgui.exe") && FileExists(installDir + "\\sub\\deeper\\c.txt");
  }
  bool SiblingsIntact() const {
    return FileExists(installDir + " Backup\\keep.txt") && FileExists(scratch_ + "\\keep.txt");
  }
  bool GroupIntact() const {
    return FileExists(group + "\\Halvoran.lnk") && FileExists(group + "\\Extras\\readme.txt");
  }
  // The trees before `gone` are gone, the others whole.
  static void CheckTrees(int gone) {
    for (int number = 1; number <= 4; ++number) {
      CAPTURE(number);
      const Tree& tree = kTrees[number - 1];
      if (number <= gone)
        CHECK_FALSE(KeyExists(tree.root, tree.path));
      else
        CHECK(KeyExists(tree.root, std::string(tree.path) + "\\Marker"));
    }
  }
  const std::string& Scratch() const { return scratch_; }

  std::string installDir;
  std::string group;

 private:
  static void ClearRegistry() {
    for (const Tree& tree : kTrees) REQUIRE(ForceDeleteKeyTree(tree.root, tree.path));
  }
  void RemoveGroupFolders() const {
    RemoveTreeBelow(programs_, group);
    RemoveTreeBelow(kOldGroupParents[3], kOldGroupFolder);
  }

  std::string scratch_;
  std::string programs_;
  std::vector<bool> createdParents_;
};

struct Outcome {
  int result = -1;
  std::vector<SeenBox> boxes;
  HWND window = nullptr;
};

// The clean-up with current as the current folder (empty: this one's).
Outcome Run(int wow64, std::vector<int> answers, const std::string& current = "") {
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof previous, previous);
  if (!current.empty()) REQUIRE(SetCurrentDirectoryA(current.c_str()));
  Outcome outcome;
  ProgressWindow window;
  outcome.window = window.m_hWnd;
  BoxAnswerer answerer(AfxGetAppName(), answers);
  g_scriptedIsWow64 = wow64;
  g_isWow64Calls = 0;
  outcome.result = RemovePreviousInstallation(RecordStatus, &window);
  answerer.Stop();
  SetCurrentDirectoryA(previous);
  outcome.boxes = answerer.Seen();
  for (void* context : g_statusContexts) CHECK(context == &window);
  return outcome;
}

// The question (OK and Cancel) and then the closing box (OK), as far as texts go.
void CheckBoxes(const Outcome& outcome, const std::vector<const char*>& texts) {
  REQUIRE(outcome.boxes.size() == texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    const SeenBox& box = outcome.boxes[i];
    CHECK(box.caption == AfxGetAppName());
    CHECK(box.text == texts[i]);
    CHECK(box.hasOk);
    CHECK(box.hasCancel == (texts[i] == kQuestion));
    CHECK(box.icon == LoadIconA(nullptr, IDI_INFORMATION));
  }
}

// Every delete and attribute change: allowed by the guard, below one of
// folders, or the group's folder itself.
void CheckDeletions(const std::vector<std::string>& folders, const std::string& group) {
  for (const FileOperationCall& call : FileOperationCalls()) {
    INFO(call.path);
    CHECK_FALSE(call.refused);
    bool below = _stricmp(call.path.c_str(), group.c_str()) == 0;
    for (const std::string& folder : folders)
      below = below || _strnicmp(call.path.c_str(), (folder + "\\").c_str(), folder.size() + 1) == 0;
    CHECK(below);
  }
}

const std::vector<std::string> kAllLines = {kChecking, kFound, kRemovingKeys, kRemovingFiles,
                                            kRemovingGroup};

// A whole run with a directory of its own: either folder was emptied (every
// line) or its files stayed (the last line says where, as recorded, or that no
// folder was recorded), and nothing but it and the group saw a delete.
void CheckDirectoryOutcome(const Outcome& outcome, const std::string& folder, bool emptied,
                           const std::string& recorded, const std::string& group) {
  CHECK(outcome.result == 1);
  CheckBoxes(outcome, {kQuestion, kRemoved});
  std::vector<std::string> lines = kAllLines;
  if (!emptied && recorded.empty())
    lines.push_back("Files of the previous installation left in place: no folder was recorded\r\n");
  else if (!emptied)
    lines.push_back("Files of the previous installation left in place: \"" + recorded + "\"\r\n");
  CHECK(g_statusLines == lines);
  CheckDeletions(emptied ? std::vector<std::string>{folder, group} : std::vector<std::string>{group},
                 group);
}

enum class Group { kIntact, kGone, kEmptied, kPartly };

}  // namespace

TEST_CASE("clean-up: each step's outcome, and what stays when one ends it") {
  EarlierRelease installed, noBrand, otherBrand, noGroup, oldGroup, groupLink, locked[4];
  noBrand.brand = false;
  otherBrand.brandData = kAcceleratorBrand;
  noGroup.group = false;
  oldGroup.oldGroup = true;
  groupLink.group = false;
  groupLink.groupIsLink = true;
  for (int tree = 1; tree <= 4; ++tree) locked[tree - 1].lockedTree = tree;
  const std::vector<std::string> none, checking = {kChecking}, found = {kChecking, kFound},
                                       keys = {kChecking, kFound, kRemovingKeys};
  struct Row {
    const char* what;
    EarlierRelease release;
    int wow64;
    std::vector<int> answers;
    const char* held;  // in the group, opened without delete sharing ("": the folder); null: none
    int result;
    std::vector<std::string> lines;
    std::vector<const char*> boxes;
    int treesGone;
    bool emptied;  // the installation directory's contents went
    Group group;
  };
  const Row rows[] = {
      {"not a WOW64 system: nothing looked at", installed, 0, {}, nullptr, 1, none, {}, 0, false, Group::kIntact},
      {"no brand value", noBrand, 1, {}, nullptr, 1, checking, {}, 0, false, Group::kIntact},
      {"another brand", otherBrand, 1, {}, nullptr, 1, checking, {}, 0, false, Group::kIntact},
      {"declined", installed, 1, {IDCANCEL}, nullptr, 0, found, {kQuestion}, 0, false, Group::kIntact},
      {"four trees, the contents and the group go", installed, 1, {IDOK, IDOK}, nullptr, 1, kAllLines,
       {kQuestion, kRemoved}, 4, true, Group::kGone},
      {"tree 1 stays", locked[0], 1, {IDOK}, nullptr, 0, keys, {kQuestion}, 0, false, Group::kIntact},
      {"tree 2 stays", locked[1], 1, {IDOK}, nullptr, 0, keys, {kQuestion}, 1, false, Group::kIntact},
      {"tree 3 stays", locked[2], 1, {IDOK}, nullptr, 0, keys, {kQuestion}, 2, false, Group::kIntact},
      {"tree 4 stays", locked[3], 1, {IDOK}, nullptr, 0, keys, {kQuestion}, 3, false, Group::kIntact},
      {"group folder missing", noGroup, 1, {IDOK, IDOK}, nullptr, 1, kAllLines, {kQuestion, kRemoved}, 4,
       true, Group::kGone},
      {"someone else's Zorvane at the old fixed place stays", oldGroup, 1, {IDOK, IDOK}, nullptr, 1,
       kAllLines, {kQuestion, kRemoved}, 4, true, Group::kGone},
      {"the group is a link: nothing behind it goes, as for no group", groupLink, 1, {IDOK, IDOK},
       nullptr, 1, kAllLines, {kQuestion, kRemoved}, 4, true, Group::kGone},
      {"a group file that cannot go: 1, the closing box, the group stays with it", installed, 1,
       {IDOK, IDOK}, "Halvoran.lnk", 1, kAllLines, {kQuestion, kRemoved}, 4, true, Group::kPartly},
      {"an emptied group whose folder stays: 0, no closing box", installed, 1, {IDOK, IDOK}, "", 0,
       kAllLines, {kQuestion}, 4, true, Group::kEmptied},
  };
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    Fixture fixture;
    fixture.Install(row.release);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (row.held) {
      held = CreateFileA(JoinPath(fixture.group, row.held).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      REQUIRE(held != INVALID_HANDLE_VALUE);
    }
    std::unique_ptr<ValueOverride> programs;  // moved to a folder whose Zorvane is a link
    if (row.release.groupIsLink) {
      programs.reset(new ValueOverride(HKEY_LOCAL_MACHINE, kUserShellFolders, "Common Programs",
                                       Links() + "\\programs", REG_EXPAND_SZ));
      REQUIRE(programs->Set());
    }
    Outcome outcome = Run(row.wow64, row.answers);
    programs.reset();
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    CHECK(outcome.result == row.result);
    CHECK(g_statusLines == row.lines);
    CheckBoxes(outcome, row.boxes);
    if (!row.wow64) CHECK(g_isWow64Calls == 1);  // the lookup, which asks again, never ran
    Fixture::CheckTrees(row.treesGone);
    CHECK(IsEmptyFolder(fixture.installDir) == row.emptied);
    CHECK(fixture.FilesIntact() == !row.emptied);
    CHECK(fixture.SiblingsIntact());
    CHECK(fixture.GroupIntact() == (row.group == Group::kIntact));
    CHECK(FileExists(fixture.group) == (row.group != Group::kGone));
    if (row.group == Group::kEmptied) CHECK(IsEmptyFolder(fixture.group));
    if (row.group == Group::kPartly) CHECK(FolderEntries(fixture.group) == std::set<std::string>{row.held});
    CHECK(FileExists(std::string(kOldGroupFolder) + "\\someone.lnk") == row.release.oldGroup);
    CHECK(FileText(Links() + "\\group_target\\canary.txt") == "canary");
    CheckDeletions(row.emptied ? std::vector<std::string>{fixture.installDir, fixture.group}
                               : std::vector<std::string>{fixture.group},
                   fixture.group);
  }
}

namespace {

std::string Parent(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string ShortName(const std::string& path) {
  char shortPath[MAX_PATH] = {};
  REQUIRE(GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath) > 0);
  REQUIRE(std::string(shortPath) != path);  // else the row would test nothing new
  return shortPath;
}

}  // namespace

TEST_CASE("clean-up: a directory that cannot be used or holds more than the release stays, and the user is told") {
  // Were the check to let one through, the file-operation guard would refuse the
  // delete (and the deletes checked below would show it) or, for folders in the
  // scratch folder, the release's files would be gone. A relative pattern would
  // resolve against the current folder: that is the scratch folder, where the
  // directory of that name exists.
  struct Row {
    const char* what;
    bool value;             // false: no directory value (the buffer stays empty)
    std::string directory;  // as recorded
    std::string current;    // empty: the scratch folder
    bool made;              // the directory is made (if missing) with an entry "a" and a folder "s"
    bool emptied;
  };
  const std::string scratch = JoinPath(ScratchRoot(), "previous_installation");
  const std::string release = scratch + "\\Halvoran 2.0";
  // One-letter names below it: the test makes them with the narrow calls.
  const std::string longest = scratch + "\\" + std::string(254 - scratch.size() - 1, 'L');
  const std::string windows = ShellFolder(CSIDL_WINDOWS);
  const std::string profiles = Parent(ShellFolder(CSIDL_PROFILE));
  // A symbolic link that the build makes (see CMakeLists.txt); Wine shows it as a
  // reparse point.
  const std::string links = SelfDir() + "\\sequences_links";
  const Row rows[] = {
      {"254 characters", true, longest, "", true, true},
      {"255 characters: no pattern needs room behind them", true, longest + "L", "", true, true},
      {"no directory value", false, "", "", false, false},
      {"an empty directory value", true, "", "", false, false},
      {"a relative directory", true, "Halvoran 2.0", "", false, false},
      {"a drive root", true, "C:\\", "", false, false},
      {"a wildcard", true, scratch + "\\Halv*", "", false, false},
      {"a part that climbs out", true, release + "\\..", "", false, false},
      {"the Windows folder", true, windows, "", false, false},
      {"the Windows folder in capitals, with a trailing separator", true, Upper(windows) + "\\", "",
       false, false},
      {"the system folder", true, ShellFolder(CSIDL_SYSTEM), "", false, false},
      {"the program-files folder by its short name", true, ShortName(ShellFolder(CSIDL_PROGRAM_FILES)), "",
       false, false},
      {"the 32-bit program-files folder", true, ShellFolder(CSIDL_PROGRAM_FILESX86), "", false, false},
      {"the folder of the profiles", true, Parent(ShellFolder(CSIDL_PROFILE)), "", false, false},
      {"the user's profile", true, ShellFolder(CSIDL_PROFILE), "", false, false},
      {"the common application data", true, ShellFolder(CSIDL_COMMON_APPDATA), "", false, false},
      {"a folder that holds the running program's folder", true, Parent(SelfDir()), "", false, false},
      {"the current folder", true, release, release, false, false},
      {"a folder that holds the current folder", true, release, release + "\\sub", false, false},
      {"a symbolic link to a folder", true, links + "\\link", "", false, false},
      {"a folder below a symbolic link", true, links + "\\link\\Halvoran 2.0", "", false, false},
      {"a folder in the Windows folder's tree", true, windows + "\\Installer", "", true, false},
      {"a folder in the system folder", true, ShellFolder(CSIDL_SYSTEM) + "\\Halvoran", "", true, false},
      {"another user's profile", true, profiles + "\\alice", "", true, false},
      {"the Default profile", true, profiles + "\\Default", "", true, false},
      {"the Public profile", true, profiles + "\\Public", "", true, false},
      {"a folder in the all-users data", true, ShellFolder(CSIDL_COMMON_APPDATA) + "\\Vendor", "", true,
       false},
      {"a folder in the shared program files", true,
       ShellFolder(CSIDL_PROGRAM_FILES_COMMON) + "\\Vendor", "", true, false},
      {"the program-files folder itself", true, ShellFolder(CSIDL_PROGRAM_FILES), "", true, false},
      {"an ordinary folder in the 32-bit program files", true,
       ShellFolder(CSIDL_PROGRAM_FILESX86) + "\\Tervaloxen", "", true, true},
      {"an ordinary folder at a drive's root", true, "C:\\Tervaloxen", "", true, true},
  };
  const std::string linkedFile = links + "\\target\\Halvoran 2.0\\keep.txt";
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    CAPTURE(row.directory);
    Fixture fixture;
    REQUIRE(fixture.Scratch() == scratch);
    EarlierRelease earlier;
    earlier.directoryValue = row.value;
    earlier.directory = row.directory;
    fixture.Install(earlier);
    MakeFile(linkedFile);
    const bool existed = FileExists(row.directory);
    // The longest folders leave no room for a neighbour's name.
    const std::string neighbour = row.directory.size() < 200 ? row.directory + " Backup" : "";
    if (row.made) {
      if (!existed) MakeFolder(row.directory);
      MakeFile(row.directory + "\\a");
      MakeFolder(row.directory + "\\s");
      MakeFile(row.directory + "\\s\\b");
      if (row.emptied && !neighbour.empty()) {
        MakeFolder(neighbour);
        MakeFile(neighbour + "\\keep.txt");
      }
    }
    // A delete that reaches a folder not to be emptied is refused and seen.
    if (row.emptied) GuardFileOperations({ScratchRoot(), fixture.group, row.directory});

    Outcome outcome = Run(1, {IDOK, IDOK}, row.current.empty() ? scratch : row.current);
    CheckDirectoryOutcome(outcome, row.directory, row.emptied, row.directory, fixture.group);
    if (row.made) {
      CHECK(IsEmptyFolder(row.directory) == row.emptied);
      CHECK(FileExists(row.directory + "\\a") == !row.emptied);
      CHECK(FileExists(row.directory + "\\s\\b") == !row.emptied);
      DeleteFileA((row.directory + "\\s\\b").c_str());
      RemoveDirectoryA((row.directory + "\\s").c_str());
      DeleteFileA((row.directory + "\\a").c_str());
      if (!existed) RemoveDirectoryA(row.directory.c_str());
    }
    if (row.made && row.emptied && !neighbour.empty()) {
      CHECK(FileExists(neighbour + "\\keep.txt"));
      DeleteFileA((neighbour + "\\keep.txt").c_str());
      RemoveDirectoryA(neighbour.c_str());
    }
    Fixture::CheckTrees(4);
    CHECK(fixture.FilesIntact());
    CHECK(fixture.SiblingsIntact());
    CHECK_FALSE(FileExists(fixture.group));
    CHECK(FileExists(linkedFile));
  }
}

// Run by the test's code page 932 copy only (it is skipped in the ordinary run).
// The installation folder ends in U+8868, whose second byte is 0x5C, the byte of a
// backslash; its neighbours' names begin with the same character.
TEST_CASE("clean-up under code page 932: the folder is read as characters" * doctest::skip()) {
  REQUIRE(GetACP() == 932);
  const std::string hyo = "\x95\x5C";                     // U+8868
  const std::string keisan = hyo + "\x8C\x76\x8E\x5A";   // U+8868 U+8A08 U+7B97
  const std::string hyoshi = hyo + "\x8E\x86" ".txt";    // U+8868 U+7D19 .txt
  struct Row {
    const char* layout;
    std::string stored;  // behind the scratch folder
    DWORD type;
    bool emptied;
  };
  const Row rows[] = {
      {"<scratch>\\U+8868 beside <scratch>\\U+8868U+8A08U+7B97 and <scratch>\\U+8868U+7D19.txt",
       "\\" + hyo, REG_SZ, true},
      {"the same, recorded with a trailing separator", "\\" + hyo + "\\", REG_SZ, true},
      {"a binary value that ends in the lead byte of U+8868", "\\\x95", REG_BINARY, false},
  };
  for (const Row& row : rows) {
    INFO(std::string(row.layout));
    Fixture fixture;
    const std::string folder = fixture.Scratch() + "\\" + hyo;
    EarlierRelease release;
    release.directory = fixture.Scratch() + row.stored;
    release.directoryType = row.type;
    fixture.Install(release);
    // The process reads ANSI text as code page 932 here, so the ANSI calls make it.
    REQUIRE(CreateDirectoryA(folder.c_str(), nullptr));
    REQUIRE(CreateDirectoryA((folder + "\\sub").c_str(), nullptr));
    REQUIRE(WriteWholeFile(folder + "\\sub\\b.txt", "data"));
    REQUIRE(CreateDirectoryA((fixture.Scratch() + "\\" + keisan).c_str(), nullptr));
    REQUIRE(WriteWholeFile(fixture.Scratch() + "\\" + keisan + "\\other_product_data.txt", "data"));
    REQUIRE(WriteWholeFile(fixture.Scratch() + "\\" + hyoshi, "data"));

    Outcome outcome = Run(1, {IDOK, IDOK});
    CheckDirectoryOutcome(outcome, folder, row.emptied, release.directory, fixture.group);
    CHECK(FileExists(folder));
    CHECK(FileExists(folder + "\\sub\\b.txt") == !row.emptied);
    CHECK(FileExists(fixture.Scratch() + "\\" + keisan + "\\other_product_data.txt"));
    CHECK(FileExists(fixture.Scratch() + "\\" + hyoshi));
    CHECK(fixture.FilesIntact());
  }
}
