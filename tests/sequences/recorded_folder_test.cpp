// The check that stands between a registry value and a recursive delete.
#include <doctest.h>

#include <windows.h>
#include <string.h>

#include <string>
#include <vector>

#include "sequences/recorded_folder.h"

namespace {

struct Row {
  std::string directory;
  const char* folder;  // null: refused
};

// The folder as the code page writes it; "(none)" when refused.
std::string FolderOf(const std::string& directory, size_t capacity) {
  wchar_t folder[MAX_PATH];
  if (!ReadFolderBelowDriveRoot(directory.c_str(), capacity, folder)) return "(none)";
  char text[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, folder, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

void CheckFolders(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    INFO(row.directory);
    CHECK(FolderOf(row.directory, row.directory.size() + 1) == (row.folder ? row.folder : "(none)"));
  }
}

}  // namespace

TEST_CASE("recorded folder: only a folder below a drive root") {
  CheckFolders({
      {"C:\\Program Files\\Zorvane\\Halvoran 2.0", "C:\\Program Files\\Zorvane\\Halvoran 2.0"},
      {"C:\\Program Files\\Zorvane\\Halvoran 2.0\\", "C:\\Program Files\\Zorvane\\Halvoran 2.0"},
      {"d:\\a\\\\", "d:\\a"},
      {"C:\\a b\\x.y", "C:\\a b\\x.y"},
      {"C:\\..a", "C:\\..a"},
      {"", nullptr},
      {"\\", nullptr},
      {"C:", nullptr},
      {"C:\\", nullptr},
      {"C:\\\\", nullptr},
      {"C:relative", nullptr},
      {"relative\\folder", nullptr},
      {"\\folder", nullptr},
      {"\\\\server\\share\\folder", nullptr},
      {"\\\\?\\C:\\folder", nullptr},
      {"1:\\folder", nullptr},
      {"C:\\Program Files\\..", nullptr},
      {"C:\\Program Files\\.", nullptr},
      {"C:\\Program Files\\.. ", nullptr},
      {"C:\\Program Files\\...", nullptr},
      {"C:\\a\\..\\b", nullptr},
      {"C:\\a\\\\b", nullptr},
      {"C:\\*", nullptr},
      {"C:\\a?", nullptr},
      {"C:\\a<b", nullptr},
      {"C:\\a>b", nullptr},
      {"C:\\a\"b", nullptr},
      {"C:\\a|b", nullptr},
      {"C:\\a:stream", nullptr},
      {"C:\\a/..", nullptr},
      {"C:\\a\tb", nullptr},
      // The system drops trailing dots and blanks: these name C:\Windows and C:\a.
      {"C:\\Windows.", nullptr},
      {"C:\\a \\b", nullptr},
      {"C:\\a\\b.\\", nullptr},
  });
}

// Run by the test's code page 932 copy only (it is skipped in the ordinary run).
// The byte 0x5C, a backslash, is also the second byte of many characters there.
TEST_CASE("recorded folder under code page 932: characters, not bytes" * doctest::skip()) {
  REQUIRE(GetACP() == 932);
  CheckFolders({
      {"C:\\Audit3\\\x95\x5C", "C:\\Audit3\\\x95\x5C"},  // ends in U+8868
      {"C:\\Audit3\\\x95\x5C\\", "C:\\Audit3\\\x95\x5C"},
      {"C:\\\x95\x5C\\sub", "C:\\\x95\x5C\\sub"},
      {"C:\\a\\\x81\x5C", "C:\\a\\\x81\x5C"},  // a dash whose second byte is 0x5C
      {"C:\\a\\\xB1", "C:\\a\\\xB1"},           // a half-width katakana of one byte
      {"C:\\Audit3\\\x95", nullptr},                      // a lead byte without its second byte
      {"C:\\\x95", nullptr},
      {"C:\\a\\\x81\x20", nullptr},                       // 0x20 is no second byte
  });
}

TEST_CASE("recorded folder: every directory the 260-byte buffer holds, and none unterminated") {
  for (size_t length : {254, 258, 259}) {
    INFO(length);
    const std::string directory = "C:\\" + std::string(length - 3, 'd');
    CHECK(FolderOf(directory, 260) == directory);
    if (length < 259) CHECK(FolderOf(directory + "\\", 260) == directory);
  }
  const std::string unterminated(8, 'd');
  CHECK(FolderOf("C:\\" + unterminated, 7) == "(none)");
}
