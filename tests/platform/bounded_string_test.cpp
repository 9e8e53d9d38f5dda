#include <doctest.h>

#include "platform/bounded_string.h"

#include <string.h>

TEST_CASE("bounded copy and append never pass the capacity and always terminate") {
  struct Case { const char* start; const char* add; size_t cap; bool fits; const char* result; };
  const Case cases[] = {
      {"", "abc", 4, true, "abc"},
      {"", "abcd", 4, false, "abc"},
      {"ab", "c", 4, true, "abc"},
      {"ab", "cd", 4, false, "abc"},
      {"abc", "", 4, true, "abc"},
      {"", "", 1, true, ""},
      {"", "x", 1, false, ""},
  };
  for (const Case& c : cases) {
    char buf[8];
    memset(buf, '#', sizeof buf);
    CopyBounded(buf, c.cap, c.start);
    CHECK(AppendBounded(buf, c.cap, c.add) == c.fits);
    CHECK(strcmp(buf, c.result) == 0);
    for (size_t i = c.cap; i < sizeof buf; ++i) CHECK(buf[i] == '#');
  }
}

TEST_CASE("append to an unterminated buffer terminates it and reports the loss") {
  char buf[4] = {'a', 'b', 'c', 'd'};
  CHECK_FALSE(AppendBounded(buf, sizeof buf, "x"));
  CHECK(strcmp(buf, "abc") == 0);
}

TEST_CASE("bounded format cuts long output and terminates it") {
  char buf[6];
  CHECK(FormatBounded(buf, sizeof buf, "%d-%s", 12, "ab"));
  CHECK(strcmp(buf, "12-ab") == 0);
  CHECK_FALSE(FormatBounded(buf, sizeof buf, "%s", "abcdefgh"));
  CHECK(strcmp(buf, "abcde") == 0);
  CHECK_FALSE(CopyBounded(nullptr, 4, "x"));
  CHECK_FALSE(CopyBounded(buf, 0, "x"));
}
