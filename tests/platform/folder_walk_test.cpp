// The clean-up's walk on scratch folders: what goes, what stays, and nothing
// reached beyond the folder (every delete passes the file-operation guard).
#include <doctest.h>

#include <windows.h>

#include <set>
#include <string>

#include "platform/folder_chain.h"
#include "platform/folder_contents.h"
#include "tests/support/file_operation_guard.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"

namespace {

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// An entry to make: a trailing separator makes a folder.
struct Entry {
  std::string name;
  DWORD attributes;
};

void Make(const std::string& folder, const Entry& entry) {
  std::string path = JoinPath(folder, entry.name);
  if (path.back() == '\\') {
    path.pop_back();
    REQUIRE((FileExists(path) || CreateDirectoryA(path.c_str(), nullptr)));
  } else {
    REQUIRE(WriteWholeFile(path, "data"));
  }
  if (entry.attributes) REQUIRE(SetFileAttributesA(path.c_str(), entry.attributes));
}

HANDLE Hold(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

TEST_CASE("folder walk: the contents go, the folder stays, what cannot go is passed over") {
  // Made by the build (see CMakeLists.txt): release\dirlink to target and
  // release\filelink to target\canary.txt, which Wine shows as links.
  const std::string links = SelfDir() + "\\platform_links";
  REQUIRE(WriteWholeFile(links + "\\target\\canary.txt", "canary"));
  const std::string scratch = ScratchRoot();
  GuardFileOperations({scratch, links + "\\release"});
  struct Row {
    const char* what;
    std::string folder;
    std::vector<Entry> made;
    std::vector<std::string> held;  // opened without delete sharing during the walk
    std::set<std::string> left;     // at most these stay
    bool allGone;
  };
  const std::string walk = scratch + "\\walk";
  const Row rows[] = {
      {"files and nested folders, read-only, hidden and system ones too", walk,
       {{"a.txt", 0}, {"sub\\", 0}, {"sub\\b.txt", 0}, {"sub\\deeper\\", 0},
        {"sub\\deeper\\c.txt", 0}, {"ro.txt", FILE_ATTRIBUTE_READONLY},
        {"hs.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}, {"rosub\\", 0},
        {"rosub\\d.txt", 0}, {"rosub\\", FILE_ATTRIBUTE_READONLY}},
       {}, {}, true},
      {"a file held open stays, the rest goes", walk,
       {{"a.txt", 0}, {"held.txt", 0}, {"sub\\", 0}, {"sub\\b.txt", 0}}, {"held.txt"}, {"held.txt"},
       false},
      {"a subfolder held open is emptied and stays", walk, {{"sub\\", 0}, {"sub\\b.txt", 0}, {"c.txt", 0}},
       {"sub"}, {"sub"}, false},
      {"links are never entered: their targets keep their files", links + "\\release",
       {{"a.txt", 0}, {"sub\\", 0}, {"sub\\b.txt", 0}}, {}, {"dirlink", "filelink"}, false},
  };
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    if (row.folder == walk) MakeScratchDir("walk");
    for (const Entry& entry : row.made) Make(row.folder, entry);
    std::vector<HANDLE> held;
    for (const std::string& entry : row.held) held.push_back(Hold(JoinPath(row.folder, entry)));
    FileOperationCalls().clear();

    NtFileCalls calls;
    FolderChain chain;
    REQUIRE(calls.Bind());
    REQUIRE(chain.Open(calls, Wide(row.folder).c_str()));
    const bool allGone =
        DeleteFolderContents(calls, chain.Folder(), chain.NameOnVolume(), chain.NameLength());
    for (HANDLE handle : held) CloseHandle(handle);

    CHECK(allGone == row.allGone);
    CHECK(FileExists(row.folder));
    for (const std::string& entry : FolderEntries(row.folder)) CHECK_MESSAGE(row.left.count(entry), entry);
    if (row.left.count("sub")) CHECK(FolderEntries(row.folder + "\\sub").empty());
    for (const FileOperationCall& call : FileOperationCalls()) CHECK_MESSAGE(!call.refused, call.path);
    CHECK(FileText(links + "\\target\\canary.txt") == "canary");
  }
}
