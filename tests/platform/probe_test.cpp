// The platform probes under Wine: the versions Wine reports when told to be a
// given Windows (per program, through its AppDefaults), and WOW64 in a 64-bit
// process.
#include <doctest.h>

#include <windows.h>
#include <stdio.h>

#include <string>

#include "platform/probes.h"
#include "tests/support/child.h"
#include "tests/support/process.h"
#include "tests/support/scratch.h"
#include "tests/support/wine_app_defaults.h"

TEST_CHILD(version_probe) {
  // The version as reported, beside the probe's answer.
  OSVERSIONINFOA v;
  memset(&v, 0, sizeof v);
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  char line[64];
  snprintf(line, sizeof line, "%lu.%lu %d", v.dwMajorVersion, v.dwMinorVersion, IsWindows7());
  return WriteWholeFile("version.txt", line) ? 0 : 1;
}

// A compatibility manifest that declares Windows 10, which lifts the 6.2 cap.
const char kWindows10Manifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    " <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n"
    "  <application><supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/></application>\n"
    " </compatibility>\n"
    "</assembly>\n";

TEST_CASE("IsWindows7 follows the version that Wine reports to a program") {
  // Without a compatibility manifest Windows 8.1 and 10 report 6.2 to a
  // program, as Windows 8 does; so does Wine. A program that declares
  // Windows 10 sees major version 10.
  struct Case {
    const char* wineVersion;
    bool declaresWindows10;
    const char* reported;
    const char* isWindows7;
  };
  const Case cases[] = {
      {"winxp", false, "5.1", "0"}, {"win2003", false, "5.2", "0"}, {"vista", false, "6.0", "0"},
      {"win7", false, "6.1", "1"},  {"win8", false, "6.2", "1"},    {"win81", false, "6.2", "1"},
      {"win10", false, "6.2", "1"}, {"win10", true, "10.0", "0"},
  };
  std::string dir = MakeScratchDir("platform\\version");
  for (const Case& c : cases) {
    INFO(std::string(c.wineVersion));
    CAPTURE(c.declaresWindows10);
    // The manifest lies beside a program of its own name: the other rows run without one.
    const std::string exe = c.declaresWindows10 ? "halvoran_version10_child.exe"
                                                : "halvoran_version_child.exe";
    REQUIRE((FileExists(JoinPath(dir, exe)) || CopyFileTo(SelfPath(), JoinPath(dir, exe))));
    if (c.declaresWindows10)
      REQUIRE(WriteWholeFile(JoinPath(dir, exe + ".manifest"), kWindows10Manifest));
    WineAppDefaults settings(exe);
    REQUIRE(settings.SetVersion(c.wineVersion));
    DeleteFileA(JoinPath(dir, "version.txt").c_str());
    CHECK(RunChild(dir, "version_probe", "", JoinPath(dir, exe), 30000) == 0);
    CHECK(FileText(JoinPath(dir, "version.txt")) == std::string(c.reported) + " " + c.isWindows7);
  }
}

TEST_CASE("IsWow64 is 0 in this 64-bit process") { CHECK(IsWow64() == 0); }
