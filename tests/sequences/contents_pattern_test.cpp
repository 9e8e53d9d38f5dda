// The check that stands between a registry value and a recursive delete.
#include <doctest.h>

#include <windows.h>
#include <string.h>

#include <string>
#include <vector>

#include "sequences/contents_pattern.h"

namespace {

struct Row {
  std::string directory;
  const char* pattern;  // null: refused
};

void CheckPatterns(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    INFO(row.directory);
    char buffer[260];
    memset(buffer, 0, sizeof buffer);
    strcpy(buffer, row.directory.c_str());
    char before[260];
    memcpy(before, buffer, sizeof buffer);
    if (row.pattern) {
      REQUIRE(MakeContentsPattern(buffer, sizeof buffer));
      CHECK(std::string(buffer) == row.pattern);
      CHECK(buffer[strlen(row.pattern) + 1] == '\0');  // the list's second terminator
    } else {
      CHECK_FALSE(MakeContentsPattern(buffer, sizeof buffer));
      CHECK(memcmp(buffer, before, sizeof buffer) == 0);
    }
  }
}

}  // namespace

TEST_CASE("contents pattern: only a folder below a drive root, with room for the pattern") {
  CheckPatterns({
      {"C:\\Program Files\\Zorvane\\Halvoran 2.0", "C:\\Program Files\\Zorvane\\Halvoran 2.0\\*.*"},
      {"C:\\Program Files\\Zorvane\\Halvoran 2.0\\", "C:\\Program Files\\Zorvane\\Halvoran 2.0\\*.*"},
      {"d:\\a\\\\", "d:\\a\\*.*"},
      {"C:\\a b\\x.y", "C:\\a b\\x.y\\*.*"},
      {"C:\\..a", "C:\\..a\\*.*"},
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
TEST_CASE("contents pattern under code page 932: characters, not bytes" * doctest::skip()) {
  REQUIRE(GetACP() == 932);
  CheckPatterns({
      {"C:\\Audit3\\\x95\x5C", "C:\\Audit3\\\x95\x5C\\*.*"},  // ends in U+8868
      {"C:\\Audit3\\\x95\x5C\\", "C:\\Audit3\\\x95\x5C\\*.*"},
      {"C:\\\x95\x5C\\sub", "C:\\\x95\x5C\\sub\\*.*"},
      {"C:\\a\\\x81\x5C", "C:\\a\\\x81\x5C\\*.*"},  // a dash whose second byte is 0x5C
      {"C:\\a\\\xB1", "C:\\a\\\xB1\\*.*"},           // a half-width katakana of one byte
      {"C:\\Audit3\\\x95", nullptr},                      // a lead byte without its second byte
      {"C:\\\x95", nullptr},
      {"C:\\a\\\x81\x20", nullptr},                       // 0x20 is no second byte
  });
}

TEST_CASE("contents pattern: the longest directory that fits a 260-byte buffer") {
  // 254 characters, the four of the pattern and two terminators fill 260 bytes
  // exactly; the buffer's bytes behind the text are not zero here, so the second
  // terminator must be written, not found.
  struct Row {
    size_t length;
    bool fits;
  };
  for (const Row& row : {Row{254, true}, Row{255, false}, Row{259, false}}) {
    INFO(row.length);
    char buffer[260 + 8];
    memset(buffer, '#', sizeof buffer);
    const std::string directory = "C:\\" + std::string(row.length - 3, 'd');
    strcpy(buffer, directory.c_str());
    CHECK(MakeContentsPattern(buffer, 260) == row.fits);
    if (row.fits) {
      CHECK(std::string(buffer) == directory + "\\*.*");
      CHECK(buffer[259] == '\0');
    } else {
      CHECK(std::string(buffer) == directory);
    }
    CHECK(std::string(buffer + 260, 8) == std::string(8, '#'));
  }
  char unterminated[8];
  memset(unterminated, 'd', sizeof unterminated);
  CHECK_FALSE(MakeContentsPattern(unterminated, sizeof unterminated));
}
