// The check that stands between a registry value and a recursive delete.
#include <doctest.h>

#include <string.h>
#include <string>

#include "sequences/contents_pattern.h"

TEST_CASE("contents pattern: only a folder below a drive root, with room for the pattern") {
  struct Row {
    std::string directory;
    const char* pattern;  // null: refused
  };
  const Row rows[] = {
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
  };
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
