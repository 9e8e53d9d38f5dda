// Clean-up of the earlier release against Wine's registry and file system: the
// release's records at their fixed keys in the project's own prefix, its
// installation directory in a scratch folder, its program group at its fixed place
// on the prefix's drive C. Every shell delete passes the file-operation guard, so
// that a fault cannot reach beyond those places.
#include <doctest.h>

#include <shlobj.h>
#include <ctype.h>
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

const char kGroupFolder[] = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Zorvane";
const std::string kGroupPattern = std::string(kGroupFolder) + "\\*.*";
const char* const kGroupParents[] = {
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
const FILEOP_FLAGS kDeleteFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;

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
void RemoveGroupFolder() { RemoveTreeBelow(kGroupParents[3], kGroupFolder); }

// Stands for the scratch installation directory in a release's directory value.
const char kInstallationDirectory[] = "<installation directory>";

struct EarlierRelease {
  bool brand = true;
  std::string brandData = kEarlierReleaseBrand;
  bool directoryValue = true;
  std::string directory = kInstallationDirectory;
  DWORD directoryType = REG_SZ;  // REG_BINARY: the bytes of directory, no terminator
  bool group = true;
  bool groupParents = true;  // the folders above the group, when there is no group
  int lockedTree = 0;  // 1 to 4: a key in that tree may not be deleted
};

// One earlier release, set up fresh and taken away again.
class Fixture {
 public:
  Fixture() {
    scratch_ = MakeScratchDir("previous_installation");
    installDir = scratch_ + "\\Halvoran 2.0";
    GuardFileOperations({ScratchRoot(), kGroupFolder});
    FileOperationCalls().clear();
    ClearRecordedStatus();
    ClearRegistry();
    RemoveGroupFolder();
    for (const char* parent : kGroupParents) createdParents_.push_back(!FileExists(parent));
  }
  ~Fixture() {
    ClearRegistry();
    RemoveGroupFolder();
    for (size_t i = createdParents_.size(); i-- > 0;)
      if (createdParents_[i]) RemoveDirectoryA(kGroupParents[i]);
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
    if (release.group || release.groupParents)
      for (const char* parent : kGroupParents) CreateDirectoryA(parent, nullptr);
    if (release.group) {
      MakeFolder(kGroupFolder);
      MakeFile(std::string(kGroupFolder) + "\\Halvoran.lnk");
      MakeFolder(std::string(kGroupFolder) + "\\Extras");
      MakeFile(std::string(kGroupFolder) + "\\Extras\\readme.txt");
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
  static bool GroupIntact() {
    return FileExists(std::string(kGroupFolder) + "\\Halvoran.lnk") &&
           FileExists(std::string(kGroupFolder) + "\\Extras\\readme.txt");
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

 private:
  static void ClearRegistry() {
    for (const Tree& tree : kTrees) REQUIRE(ForceDeleteKeyTree(tree.root, tree.path));
  }

  std::string scratch_;
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

// Every shell delete: allowed by the guard, the fixed record, on the given lists.
void CheckDeletes(const Outcome& outcome, const std::vector<std::string>& expectedSources) {
  const std::vector<FileOperationCall>& calls = FileOperationCalls();
  REQUIRE(calls.size() == expectedSources.size());
  for (size_t i = 0; i < calls.size(); ++i) {
    INFO(expectedSources[i]);
    CHECK_FALSE(calls[i].refused);
    CHECK(calls[i].func == FO_DELETE);
    CHECK(calls[i].from == std::vector<std::string>{expectedSources[i]});
    CHECK(calls[i].toIsNull);
    CHECK(calls[i].flags == kDeleteFlags);
    CHECK(calls[i].hwnd == outcome.window);
  }
}

const std::vector<std::string> kAllLines = {kChecking, kFound, kRemovingKeys, kRemovingFiles,
                                            kRemovingGroup};

// A whole run with a directory of its own: either folder was emptied (every line,
// its delete before the group's) or its files stayed (the last line says where,
// as recorded, and the group's delete is the only one).
void CheckDirectoryOutcome(const Outcome& outcome, const std::string& folder, bool emptied,
                           const std::string& recorded) {
  CHECK(outcome.result == 1);
  CheckBoxes(outcome, {kQuestion, kRemoved});
  if (emptied) {
    CHECK(g_statusLines == kAllLines);
    CheckDeletes(outcome, {folder + "\\*.*", kGroupPattern});
  } else {
    std::vector<std::string> lines = kAllLines;
    lines.push_back("Files of the previous installation left in place: \"" + recorded + "\"\r\n");
    CHECK(g_statusLines == lines);
    CheckDeletes(outcome, {kGroupPattern});
  }
}

enum class Group { kIntact, kGone, kEmptied };

}  // namespace

TEST_CASE("clean-up: each step's outcome, and what stays when one ends it") {
  EarlierRelease installed, noBrand, otherBrand, noGroup, noParents, locked[4];
  noBrand.brand = false;
  otherBrand.brandData = kAcceleratorBrand;
  noGroup.group = false;
  noParents.group = noParents.groupParents = false;
  for (int tree = 1; tree <= 4; ++tree) locked[tree - 1].lockedTree = tree;
  const std::vector<std::string> none, checking = {kChecking}, found = {kChecking, kFound},
                                       keys = {kChecking, kFound, kRemovingKeys};
  struct Row {
    const char* what;
    EarlierRelease release;
    int wow64;
    std::vector<int> answers;
    bool holdGroupFolder;  // a handle without delete sharing keeps the folder, not its contents
    int result;
    std::vector<std::string> lines;
    std::vector<const char*> boxes;
    int treesGone;
    bool emptied;  // the installation directory's contents went
    Group group;
  };
  const Row rows[] = {
      {"not a WOW64 system: nothing looked at", installed, 0, {}, false, 1, none, {}, 0, false, Group::kIntact},
      {"no brand value", noBrand, 1, {}, false, 1, checking, {}, 0, false, Group::kIntact},
      {"another brand", otherBrand, 1, {}, false, 1, checking, {}, 0, false, Group::kIntact},
      {"declined", installed, 1, {IDCANCEL}, false, 0, found, {kQuestion}, 0, false, Group::kIntact},
      {"four trees, the contents and the group go", installed, 1, {IDOK, IDOK}, false, 1, kAllLines,
       {kQuestion, kRemoved}, 4, true, Group::kGone},
      {"tree 1 stays", locked[0], 1, {IDOK}, false, 0, keys, {kQuestion}, 0, false, Group::kIntact},
      {"tree 2 stays", locked[1], 1, {IDOK}, false, 0, keys, {kQuestion}, 1, false, Group::kIntact},
      {"tree 3 stays", locked[2], 1, {IDOK}, false, 0, keys, {kQuestion}, 2, false, Group::kIntact},
      {"tree 4 stays", locked[3], 1, {IDOK}, false, 0, keys, {kQuestion}, 3, false, Group::kIntact},
      {"group folder missing", noGroup, 1, {IDOK, IDOK}, false, 1, kAllLines, {kQuestion, kRemoved}, 4,
       true, Group::kGone},
      {"no Documents and Settings at all", noParents, 1, {IDOK, IDOK}, false, 1, kAllLines,
       {kQuestion, kRemoved}, 4, true, Group::kGone},
      {"an emptied group whose folder stays: 0, no closing box", installed, 1, {IDOK, IDOK}, true, 0,
       kAllLines, {kQuestion}, 4, true, Group::kEmptied},
  };
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    Fixture fixture;
    fixture.Install(row.release);
    HANDLE folder = INVALID_HANDLE_VALUE;
    if (row.holdGroupFolder) {
      folder = CreateFileA(kGroupFolder, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      REQUIRE(folder != INVALID_HANDLE_VALUE);
    }
    Outcome outcome = Run(row.wow64, row.answers);
    if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
    CHECK(outcome.result == row.result);
    CHECK(g_statusLines == row.lines);
    CheckBoxes(outcome, row.boxes);
    if (!row.wow64) CHECK(g_isWow64Calls == 1);  // the lookup, which asks again, never ran
    Fixture::CheckTrees(row.treesGone);
    CHECK(IsEmptyFolder(fixture.installDir) == row.emptied);
    CHECK(fixture.FilesIntact() == !row.emptied);
    CHECK(fixture.SiblingsIntact());
    CHECK(Fixture::GroupIntact() == (row.group == Group::kIntact));
    CHECK(FileExists(kGroupFolder) == (row.group != Group::kGone));
    if (row.group == Group::kEmptied) CHECK(IsEmptyFolder(kGroupFolder));
    if (row.emptied)
      CheckDeletes(outcome, {fixture.installDir + "\\*.*", kGroupPattern});
    else
      CheckDeletes(outcome, {});
  }
}

namespace {

std::string ShellFolder(int csidl) {
  char path[MAX_PATH] = {};
  REQUIRE(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK);
  return path;
}

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
    bool made;              // the directory is made with an entry "a" and a folder "s"
  };
  const std::string scratch = JoinPath(ScratchRoot(), "previous_installation");
  const std::string release = scratch + "\\Halvoran 2.0";
  // 254 characters leave room for "\*.*" and both terminators in 260 bytes. The
  // shell deletes nothing whose path passes 259 characters: one-letter names.
  const std::string longest = scratch + "\\" + std::string(254 - scratch.size() - 1, 'L');
  const std::string windows = ShellFolder(CSIDL_WINDOWS);
  // A symbolic link that the build makes (see CMakeLists.txt); Wine shows it as a
  // reparse point.
  const std::string links = SelfDir() + "\\sequences_links";
  const Row rows[] = {
      {"the longest that the pattern buffer takes is emptied", true, longest, "", true},
      {"one character longer", true, longest + "L", "", true},
      {"no directory value", false, "", "", false},
      {"an empty directory value", true, "", "", false},
      {"a relative directory", true, "Halvoran 2.0", "", false},
      {"a drive root", true, "C:\\", "", false},
      {"a wildcard", true, scratch + "\\Halv*", "", false},
      {"a part that climbs out", true, release + "\\..", "", false},
      {"the Windows folder", true, windows, "", false},
      {"the Windows folder in capitals, with a trailing separator", true, Upper(windows) + "\\", "", false},
      {"the system folder", true, ShellFolder(CSIDL_SYSTEM), "", false},
      {"the program-files folder by its short name", true, ShortName(ShellFolder(CSIDL_PROGRAM_FILES)), "",
       false},
      {"the 32-bit program-files folder", true, ShellFolder(CSIDL_PROGRAM_FILESX86), "", false},
      {"the folder of the profiles", true, Parent(ShellFolder(CSIDL_PROFILE)), "", false},
      {"the user's profile", true, ShellFolder(CSIDL_PROFILE), "", false},
      {"the common application data", true, ShellFolder(CSIDL_COMMON_APPDATA), "", false},
      {"a folder that holds the running program's folder", true, Parent(SelfDir()), "", false},
      {"the current folder", true, release, release, false},
      {"a folder that holds the current folder", true, release, release + "\\sub", false},
      {"a symbolic link to a folder", true, links + "\\link", "", false},
      {"a folder below a symbolic link", true, links + "\\link\\Halvoran 2.0", "", false},
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
    if (row.made) {
      MakeFolder(row.directory);
      MakeFile(row.directory + "\\a");
      MakeFolder(row.directory + "\\s");
      MakeFile(row.directory + "\\s\\b");
    }
    const bool emptied = row.directory == longest;

    Outcome outcome = Run(1, {IDOK, IDOK}, row.current.empty() ? scratch : row.current);
    CheckDirectoryOutcome(outcome, row.directory, emptied, row.directory);
    if (row.made) {
      CHECK(IsEmptyFolder(row.directory) == emptied);
      CHECK(FileExists(row.directory + "\\a") == !emptied);
      CHECK(FileExists(row.directory + "\\s\\b") == !emptied);
    }
    Fixture::CheckTrees(4);
    CHECK(fixture.FilesIntact());
    CHECK(fixture.SiblingsIntact());
    CHECK_FALSE(FileExists(kGroupFolder));
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
    CheckDirectoryOutcome(outcome, folder, row.emptied, release.directory);
    CHECK(FileExists(folder));
    CHECK(FileExists(folder + "\\sub\\b.txt") == !row.emptied);
    CHECK(FileExists(fixture.Scratch() + "\\" + keisan + "\\other_product_data.txt"));
    CHECK(FileExists(fixture.Scratch() + "\\" + hyoshi));
    CHECK(fixture.FilesIntact());
  }
}
