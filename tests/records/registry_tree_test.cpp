// Registry tree removal against Wine's registry, on scratch keys below
// HKCU\Software\HalvoranRecordsTest.
#include <doctest.h>

#include <windows.h>
#include <sddl.h>

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "records/registry_tree.h"
#include "tests/support/child.h"
#include "tests/support/process.h"
#include "tests/support/registry_scratch.h"
#include "tests/support/scratch.h"

namespace {

const std::string kScratch = "Software\\HalvoranRecordsTest";
const std::string kTop = kScratch + "\\top";

void FreshScratch() {
  REQUIRE(ForceDeleteKeyTree(HKEY_CURRENT_USER, kScratch));
  REQUIRE(CreateKeyPath(HKEY_CURRENT_USER, kScratch));
}

bool Exists(const std::string& relative) {
  return KeyExists(HKEY_CURRENT_USER, kScratch + "\\" + relative);
}

void Make(const std::string& relative) {
  REQUIRE(SetStringValue(HKEY_CURRENT_USER, kScratch + "\\" + relative, "Value", relative));
}

// A path buffer with guard bytes behind it.
struct GuardedPath {
  char path[kRegistryPathBufferSize];
  char behind[32];
};

// The string form of this process's user, which names its keys in the
// registry's own paths (\Registry\User\<SID>).
std::wstring CurrentUserSid() {
  HANDLE token = nullptr;
  REQUIRE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  alignas(TOKEN_USER) char buffer[256];
  DWORD size = 0;
  const BOOL got = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
  CloseHandle(token);
  REQUIRE(got);
  wchar_t* text = nullptr;
  REQUIRE(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text));
  std::wstring sid = text;
  LocalFree(text);
  return sid;
}

// A name of exactly `bytes` bytes in UTF-8: characters of three bytes (U+4E00),
// then letters.
std::string NameOfBytes(size_t bytes) {
  std::string name;
  while (name.size() + 3 <= bytes) name += "\xE4\xB8\x80";
  return name + std::string(bytes - name.size(), 's');
}

}  // namespace

// Runs in the copy with the UTF-8 code page; returns the number of failed checks.
TEST_CHILD(LongRegistryPaths) {
  if (GetACP() != CP_UTF8) return 90;
  // Two levels below the top key (32 bytes) bring the longest path to 519 bytes
  // (it fits with its terminator) or to 520 (it does not). A subkey name of 259
  // bytes fits the name buffer with its terminator; one of 260 or 261 does not.
  const std::string first = NameOfBytes(258);
  const size_t second = 519 - kTop.size() - 1 - first.size() - 1;
  struct Row {
    const char* what;
    std::string below;  // the branch below the top key
    size_t pathBytes;   // of the deepest key's path
    int result;
  };
  const Row rows[] = {
      {"longest path of 519 bytes", first + "\\" + NameOfBytes(second), 519, 1},
      {"longest path of 520 bytes", first + "\\" + NameOfBytes(second + 1), 520, 0},
      {"subkey name of 259 bytes", NameOfBytes(259), kTop.size() + 260, 1},
      {"subkey name of 260 bytes", NameOfBytes(260), kTop.size() + 261, 0},
      {"subkey name of 261 bytes", NameOfBytes(261), kTop.size() + 262, 0},
  };
  for (const Row& row : rows) {
    fprintf(stderr, "%s\n", row.what);
    ForceDeleteKeyTree(HKEY_CURRENT_USER, kScratch);
    const std::string deepest = kTop + "\\" + row.below;
    CHILD_EXPECT(deepest.size() == row.pathBytes);
    CHILD_EXPECT(SetStringValue(HKEY_CURRENT_USER, kTop + "\\a", "Value", "a"));
    CHILD_EXPECT(SetStringValue(HKEY_CURRENT_USER, deepest, "Value", "deepest"));
    CHILD_EXPECT(SetStringValue(HKEY_CURRENT_USER, kScratch + "\\beside", "Value", "stays"));

    GuardedPath buffer;
    memset(&buffer, '#', sizeof buffer);
    strcpy(buffer.path, kTop.c_str());
    CHILD_EXPECT(DeleteKeyRecursive(HKEY_CURRENT_USER, buffer.path) == row.result);
    CHILD_EXPECT(std::string(buffer.path) == kTop);
    CHILD_EXPECT(std::string(buffer.behind, sizeof buffer.behind) == std::string(sizeof buffer.behind, '#'));
    CHILD_EXPECT(!KeyExists(HKEY_CURRENT_USER, kTop + "\\a"));  // met before the long branch
    CHILD_EXPECT(KeyExists(HKEY_CURRENT_USER, deepest) == !row.result);
    CHILD_EXPECT(KeyExists(HKEY_CURRENT_USER, kTop) == !row.result);
    CHILD_EXPECT(KeyExists(HKEY_CURRENT_USER, kScratch + "\\beside"));
    if (!row.result) CHILD_EXPECT(DeleteRegistryTree(HKEY_CURRENT_USER, kTop.c_str()) == 0);
  }

  // A caller's path longer than the buffer: cut to 519 bytes it would name this key.
  ForceDeleteKeyTree(HKEY_CURRENT_USER, kScratch);
  const std::string fitting = kScratch + "\\" + first + "\\" + NameOfBytes(519 - kScratch.size() - 2 - first.size());
  CHILD_EXPECT(fitting.size() == 519);
  CHILD_EXPECT(SetStringValue(HKEY_CURRENT_USER, fitting, "Value", "fitting"));
  CHILD_EXPECT(DeleteRegistryTree(HKEY_CURRENT_USER, (fitting + "x").c_str()) == 0);
  CHILD_EXPECT(KeyExists(HKEY_CURRENT_USER, fitting));
  CHILD_EXPECT(DeleteRegistryTree(HKEY_CURRENT_USER, fitting.c_str()) == 1);
  CHILD_EXPECT(!KeyExists(HKEY_CURRENT_USER, fitting));

  ForceDeleteKeyTree(HKEY_CURRENT_USER, kScratch);
  return ChildFailures();
}

TEST_CASE("registry tree removal: whole trees, missing trees, locked keys; the caller's path unchanged") {
  struct Row {
    const char* what;
    const char* path;               // relative to the scratch key
    std::vector<std::string> keys;  // relative to the scratch key, made with a value each
    std::string lockedKey;
    DWORD denied;
    int result;
    std::vector<std::string> gone, left;  // besides the top key
    bool topLeft;
  };
  const Row rows[] = {
      {"a tree that does not exist", "top", {"top2"}, "", 0, 1, {}, {"top2"}, false},
      {"a leaf with values is deleted without being opened", "top", {"top", "top2"}, "top",
       KEY_READ, 1, {}, {"top2"}, false},
      {"a wide tree three levels deep, every subkey at index 0", "top",
       {"top\\a\\x", "top\\a\\y", "top\\b\\x", "top\\b\\y", "top\\b\\z", "top\\c", "top2"}, "", 0,
       1, {"top\\a", "top\\b", "top\\c"}, {"top2"}, false},
      {"a path with a trailing separator", "top\\", {"top\\a\\x", "top2"}, "", 0, 1, {"top\\a"}, {"top2"}, false},
      {"keys that refuse writes are opened for reading only", "top",
       {"top\\a\\x", "top\\b"}, "top\\a", KEY_SET_VALUE | KEY_CREATE_SUB_KEY, 1, {"top\\a"}, {},
       false},
      {"a subkey that may not be deleted leaves every key above it", "top",
       {"top\\a\\x", "top\\b\\x", "top\\b\\y", "top\\c\\x", "top2"}, "top\\b", DELETE, 0,
       {"top\\a", "top\\b\\x", "top\\b\\y"}, {"top\\b", "top\\c\\x", "top2"}, true},
      {"a key with subkeys that cannot be opened stays", "top", {"top\\a\\x", "top\\b"}, "top\\a",
       KEY_READ, 0, {}, {"top\\a\\x", "top\\b"}, true},
  };
  for (const Row& row : rows) {
    INFO(std::string(row.what));
    FreshScratch();
    for (const std::string& key : row.keys) Make(key);
    if (!row.lockedKey.empty())
      REQUIRE(LockKey(HKEY_CURRENT_USER, kScratch + "\\" + row.lockedKey, row.denied));

    char path[64] = {};
    strcpy(path, (kScratch + "\\" + row.path).c_str());
    const std::string before(path, sizeof path);
    CHECK(DeleteRegistryTree(HKEY_CURRENT_USER, path) == row.result);
    CHECK(std::string(path, sizeof path) == before);

    CHECK(Exists("top") == row.topLeft);
    for (const std::string& key : row.gone) CHECK_MESSAGE(!Exists(key), key);
    for (const std::string& key : row.left) CHECK_MESSAGE(Exists(key), key);
    CHECK(KeyExists(HKEY_CURRENT_USER, kScratch));
  }
  REQUIRE(ForceDeleteKeyTree(HKEY_CURRENT_USER, kScratch));
}

// Wine's ANSI registry calls take key paths of at most 260 characters, far below
// the 519 bytes that the path buffer holds. Paths that reach the buffer's end are
// therefore made of multibyte names: a copy of this executable runs with UTF-8 as
// its ANSI code page (an external manifest), where three bytes make one character.
TEST_CASE("registry tree removal: paths at and beyond the end of the path buffer") {
  const std::string dir = MakeScratchDir("records_utf8");
  const std::string exe = JoinPath(dir, "records_tests_utf8.exe");
  REQUIRE(CopySelfWithUtf8CodePage(exe));
  CHECK(RunChild(dir, "LongRegistryPaths", "", exe) == 0);
  RemoveScratchTree(dir);
}

TEST_CASE("registry tree removal refuses a path that names the root itself") {
  // The root here is a scratch key, so that a failure cannot reach further.
  FreshScratch();
  Make("root\\a\\x");
  Make("root\\b");
  HKEY root = nullptr;
  REQUIRE(RegOpenKeyExA(HKEY_CURRENT_USER, (kScratch + "\\root").c_str(), 0, KEY_ALL_ACCESS,
                        &root) == ERROR_SUCCESS);
  for (const char* path : {"", "\\", "\\a"}) {
    INFO(std::string(path));
    CHECK(DeleteRegistryTree(root, path) == 0);
    char buffer[kRegistryPathBufferSize] = {};
    strcpy(buffer, path);
    CHECK(DeleteKeyRecursive(root, buffer) == 0);
  }
  CHECK(DeleteRegistryTree(root, nullptr) == 0);
  RegCloseKey(root);
  CHECK(Exists("root\\a\\x"));
  CHECK(Exists("root\\b"));
  REQUIRE(ForceDeleteKeyTree(HKEY_CURRENT_USER, kScratch));
}

TEST_CASE("registry tree removal ends at a subkey that the ANSI path cannot name exactly") {
  // Each such subkey would be opened under another name ('?' for a character the
  // code page lacks, the parent again for a name that begins with a NUL), found
  // missing and counted as removed. The removal must end, keep the subkey and
  // every key above it, and say 0; keys met before it are gone.
  struct Row {
    const char* what;
    std::wstring name;
  };
  const Row rows[] = {
      {"characters no ANSI code page has", L"\x1200\x0F40"},
      {"a lone surrogate, which no code page has", std::wstring(1, wchar_t(0xDC00))},
      {"a name that begins with a NUL", std::wstring(L"\0abc", 4)},
      {"a name that is one NUL", std::wstring(1, L'\0')},
  };
  for (const Row& row : rows) {
    INFO(std::string(row.what));
    FreshScratch();
    Make("top\\a\\x");
    Make("top\\b");
    Make("beside");
    REQUIRE(CreateCountedKey(HKEY_CURRENT_USER, kScratch + "\\top\\b", row.name));
    REQUIRE(GetACP() != CP_UTF8);

    CHECK(DeleteRegistryTree(HKEY_CURRENT_USER, kTop.c_str()) == 0);
    CHECK_FALSE(Exists("top\\a"));
    CHECK(Exists("top\\b"));
    CHECK(Exists("beside"));
  }  // the next fresh scratch key takes the subkey away again
  REQUIRE(ForceDeleteKeyTree(HKEY_CURRENT_USER, kScratch));
}

TEST_CASE("registry tree removal deletes a registry link as the link and never enters what it names") {
  // The keys a link names lie outside the tree (below HKLM, as where a link in
  // the current user's keys once led the removal), or are the tree's own keys.
  const std::string target = "Software\\HalvoranRecordsTarget";
  const std::wstring machineTarget = L"\\Registry\\Machine\\Software\\HalvoranRecordsTarget";
  const std::wstring ownTop = L"\\Registry\\User\\" + CurrentUserSid() + L"\\Software\\HalvoranRecordsTest\\top";
  struct Row {
    const char* what;
    std::string linkParent;  // relative to the scratch key
    std::wstring linkName;
    std::wstring linkTarget;
    std::vector<std::string> targetKeys;  // below the HKLM target, made with a value each
  };
  const Row rows[] = {
      {"a link to a key that does not exist", "top\\b", L"link", machineTarget + L"\\missing", {}},
      {"a link to a key with values", "top\\b", L"link", machineTarget, {""}},
      {"a link to a tree", "top\\b", L"link", machineTarget, {"x\\deep", "y"}},
      {"the top key itself a link to a tree", "", L"top", machineTarget, {"x\\deep", "y"}},
      {"a link back to the tree's own top", "top\\b", L"link", ownTop, {}},
  };
  for (const Row& row : rows) {
    INFO(std::string(row.what));
    FreshScratch();
    REQUIRE(ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, target));
    for (const std::string& key : row.targetKeys)
      REQUIRE(SetStringValue(HKEY_LOCAL_MACHINE, key.empty() ? target : target + "\\" + key, "Value", "stays"));
    if (!row.linkParent.empty()) {
      Make("top\\a\\x");
      Make(row.linkParent);
    }
    Make("beside");
    REQUIRE(CreateCountedKey(HKEY_CURRENT_USER, kScratch + (row.linkParent.empty() ? "" : "\\" + row.linkParent),
                             row.linkName, row.linkTarget));

    CHECK(DeleteRegistryTree(HKEY_CURRENT_USER, kTop.c_str()) == 1);
    CHECK_FALSE(Exists("top"));
    CHECK(Exists("beside"));
    for (const std::string& key : row.targetKeys) {
      const std::string path = key.empty() ? target : target + "\\" + key;
      CHECK_MESSAGE(ValueExists(HKEY_LOCAL_MACHINE, path, "Value"), path);
    }
  }
  REQUIRE(ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, target));
  REQUIRE(ForceDeleteKeyTree(HKEY_CURRENT_USER, kScratch));
}
