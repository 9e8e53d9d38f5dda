#include <doctest.h>

#include "ui/icon_origin.h"

TEST_CASE("a minimised dialog centres its icon, rounding toward zero") {
  struct Case { int client; int icon; int origin; };
  const Case cases[] = {
      {36, 32, 2}, {0, 32, -15}, {1, 32, -15}, {32, 32, 0}, {33, 32, 1}, {31, 32, 0}, {160, 16, 72},
  };
  for (const Case& c : cases) {
    CAPTURE(c.client);
    CHECK(IconOrigin(c.client, c.icon) == c.origin);
  }
}
