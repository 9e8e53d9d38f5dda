// The setup program's own logic, in-process: what it reads from its command
// line, and the roll-back step's clean-up of
// the install folder (ordinary files only; a link stays, with its target);
// then the program itself refusing what it cannot do.
#include <doctest.h>

#include <windows.h>

#include <optional>
#include <set>
#include <string>

#include "tests/installer/canary_link.h"
#include "tests/installer/package_under_test.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"
#include "tests/support/window_driver.h"
#include "tools/setup/rollback_step.h"
#include "tools/setup/setup_request.h"

TEST_CASE("the setup program reads its mode, the product code, and the options it passes on as typed") {
  const std::string code = "{450AADD2-206E-41FE-A128-64AC7007E8C2}";
  struct Row {
    std::string line;
    SetupMode mode;
    std::string productCode;
    std::string options;
  };
  const Row rows[] = {
      {"HalvoranSetup.exe", SetupMode::kInstall, "", ""},
      {"\"C:\\Setup files\\HalvoranSetup.exe\"   /l*v \"C:\\my logs\\setup.log\"",
       SetupMode::kInstall, "", "/l*v \"C:\\my logs\\setup.log\""},
      {"HalvoranSetup.exe /qr INSTALLDIR=\"D:\\Hal voran\"", SetupMode::kInstall, "",
       "/qr INSTALLDIR=\"D:\\Hal voran\""},
      // A switch counts only as a word of its own, after the program's name.
      {"HalvoranSetup.exe /xyz", SetupMode::kInstall, "", "/xyz"},
      {"\"C:\\a /x b\\HalvoranSetup.exe\" /qr", SetupMode::kInstall, "", "/qr"},
      {"\"C:\\Program Files (x86)\\Halvoran\\HalvoranSetup.exe\" /x " + code, SetupMode::kRemove,
       code, ""},
      {"HalvoranSetup.exe /X {450aadd2-206e-41fe-a128-64ac7007e8c2} /qn /l*v x.log",
       SetupMode::kRemove, "{450aadd2-206e-41fe-a128-64ac7007e8c2}", "/qn /l*v x.log"},
      {"HalvoranSetup.exe /remove-from-copy " + code + " /qr", SetupMode::kRemoveFromCopy, code,
       "/qr"},
      {"HalvoranSetup.exe /ROLLBACK", SetupMode::kRollback, "", ""},
      // A removal takes nothing but a product code in braces.
      {"HalvoranSetup.exe /x", SetupMode::kNoProductCode, "", ""},
      {"HalvoranSetup.exe /x /qn", SetupMode::kNoProductCode, "", "/qn"},
      {"HalvoranSetup.exe /x 450AADD2-206E-41FE-A128-64AC7007E8C2", SetupMode::kNoProductCode, "",
       "450AADD2-206E-41FE-A128-64AC7007E8C2"},
      {"HalvoranSetup.exe /x {450AADD2-206E-41FE-A128-64AC7007E8C}", SetupMode::kNoProductCode,
       "", "{450AADD2-206E-41FE-A128-64AC7007E8C}"},
      {"HalvoranSetup.exe /x " + code + "x", SetupMode::kNoProductCode, "", code + "x"},
      {"HalvoranSetup.exe /x {G50AADD2-206E-41FE-A128-64AC7007E8C\"}", SetupMode::kNoProductCode,
       "", "{G50AADD2-206E-41FE-A128-64AC7007E8C\"}"},
      {"HalvoranSetup.exe /remove-from-copy \"" + code + "\"", SetupMode::kNoProductCode, "",
       "\"" + code + "\""},
  };
  for (const Row& row : rows) {
    CAPTURE(row.line);
    const SetupRequest request = ReadSetupRequest(row.line.c_str());
    CHECK(request.mode == row.mode);
    CHECK(std::string(request.productCode) == row.productCode);
    CHECK(std::string(request.options) == row.options);
  }
  CHECK(ReadSetupRequest(nullptr).mode == SetupMode::kInstall);
}

TEST_CASE("the setup program shows no box when the options ask Windows Installer for no user interface") {
  struct Row {
    const char* options;
    bool noUserInterface;
  };
  const Row rows[] = {
      {"", false},          {"/qn", true},      {"/q", true},
      {"/QN+", true},       {"-qn", true},      {"/quiet", true},
      {"/l*v a.log /qn", true},                 {"/qb", false},
      {"/qr", false},       {"/qf", false},     {"/qb!-", false},
      {"/passive", false},  {"/quietly", false}, {"INSTALLDIR=C:\\qn", false},
      {"/l*v C:\\q", false},
  };
  for (const Row& row : rows) {
    CAPTURE(row.options);
    CHECK(AsksForNoUserInterface(row.options) == row.noUserInterface);
  }
}

TEST_CASE("the roll-back's clean-up deletes only ordinary files: a folder or a link named tmp.txt stays, with what it holds") {
  struct Row {
    std::string what;
    std::string marker;  // "file", "folder", "link", or "" (none)
    bool deviceList;
  };
  const Row rows[] = {
      {"both files", "file", true},
      {"only the device list", "", true},
      {"a folder named tmp.txt", "folder", true},
      {"a link named tmp.txt to a folder", "link", false},
  };
  for (const Row& row : rows) {
    CAPTURE(row.what);
    CanaryLink::RemoveFrom(JoinPath(ScratchRoot(), "setup_leftovers"));
    const std::string dir = MakeScratchDir("setup_leftovers");
    const std::string marker = JoinPath(dir, "tmp.txt");
    const std::string markerKind = row.marker;
    if (markerKind == "file") REQUIRE(WriteWholeFile(marker, ""));
    if (markerKind == "folder") {
      REQUIRE(CreateDirectoryA(marker.c_str(), nullptr));
      REQUIRE(WriteWholeFile(JoinPath(marker, "inside.txt"), "inside"));
    }
    if (row.deviceList) REQUIRE(WriteWholeFile(JoinPath(dir, "devcon_modem.txt"), "ROOT\\MODEM\\0000"));
    REQUIRE(WriteWholeFile(JoinPath(dir, "README.txt"), "product file"));
    std::optional<CanaryLink> link;
    if (markerKind == "link") {
      link.emplace(dir);
      REQUIRE(link->Made());
    }
    CHECK(IsOrdinaryFile(marker.c_str()) == (markerKind == "file"));

    ClearLeftovers(dir.c_str());

    if (link) CHECK(link->Intact());
    link.reset();
    std::set<std::string> left = {"README.txt"};
    if (markerKind == "folder") left.insert("tmp.txt");
    CHECK(FolderEntries(dir) == left);
    if (markerKind == "folder") CHECK(FileText(JoinPath(marker, "inside.txt")) == "inside");
  }
}

TEST_CASE("the setup program refuses with a box and Windows Installer's exit code, and without a box when asked for no user interface") {
  struct Row {
    const char* what;
    const char* arguments;
    long exitCode;
    const char* box;  // the start of its text; none when null
  };
  const Row rows[] = {
      {"no package beside it", "", ERROR_INSTALL_PACKAGE_OPEN_FAILED,
       "The installation package was not found:\n"},
      {"no package beside it, no user interface", "/qn /l*v setup.log",
       ERROR_INSTALL_PACKAGE_OPEN_FAILED, nullptr},
      {"a removal without a product code", "/x", ERROR_INVALID_COMMAND_LINE,
       "Usage: HalvoranSetup.exe /x {product code} [Windows Installer options]"},
      {"a removal without a product code, quietly", "/x /quiet", ERROR_INVALID_COMMAND_LINE,
       nullptr},
  };
  // A copy of the setup program under test in a folder without the package.
  const std::string dir = MakeScratchDir("setup_alone");
  const std::string program = JoinPath(dir, "HalvoranSetup.exe");
  REQUIRE(CopyFileTo(ThisBuildsPackage().setupProgram, program));
  for (const Row& row : rows) {
    CAPTURE(std::string(row.what));
    BoxAnswerer answerer("Halvoran Setup", {IDOK}, 0);
    CHECK(RunProcess(QuoteArgument(program) + " " + row.arguments, dir, 60000) == row.exitCode);
    answerer.Stop();
    REQUIRE(answerer.Seen().size() == (row.box ? 1u : 0u));
    if (row.box) CHECK(answerer.Seen()[0].text.rfind(row.box, 0) == 0);
  }
}
