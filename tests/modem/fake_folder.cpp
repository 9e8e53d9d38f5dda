// Scratch folders with the simulated dial-up stack in place (see modem_test_support.h).
#include <doctest.h>

#include "tests/fakes/fake_stack.h"
#include "tests/modem/modem_test_support.h"
#include "tests/support/scratch.h"

std::string FakeFolder(const std::string& name, const std::vector<std::string>& variants) {
  std::string dir = MakeScratchDir(name);
  REQUIRE(fakestack::PlantSystemFakes(variants));
  return dir;
}

