// The packages and the setup program under test. The x86_64 build tests
// packages of its own programs, made by the build (CMakeLists.txt). The i686
// run (the shipped program in the emulated 32-bit Wine) tests the real package
// and setup program that the build command makes beside the shipped folder,
// and a later build and a failing variant of them (HALVORAN_SHIPPED_PACKAGE,
// ..._LATER_PACKAGE, ..._FAILING_PACKAGE).
#pragma once
#include <string>

struct PackageUnderTest {
  std::string msi;
  std::string laterMsi;    // the same files as a later build
  std::string failingMsi;  // fails after the program's -i (fail-after-setup.sql)
  std::string setupProgram;  // HalvoranSetup.exe, beside msi
};

PackageUnderTest ThisBuildsPackage();
