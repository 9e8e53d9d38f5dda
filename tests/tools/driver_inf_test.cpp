// Zorvane.inf as the platform's set-up library reads, stages and installs it.
#include <doctest.h>

#include "tests/support/scratch.h"
#include "tests/support/system_file.h"
#include "tests/support/test_devices.h"
#include "tests/tools/tool_run.h"

#include <setupapi.h>
#include <string.h>


namespace {

const char kModemName[] = "Zorvane PPP Data Modem";

std::string InfPath() { return BinPath("Zorvane.inf"); }

// An INF opened by the set-up library, closed with the object.
class OpenInf {
 public:
  explicit OpenInf(const std::string& path) {
    handle_ = SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, &errorLine_);
  }
  ~OpenInf() {
    if (handle_ != INVALID_HANDLE_VALUE) SetupCloseInfFile(handle_);
  }
  OpenInf(const OpenInf&) = delete;
  OpenInf& operator=(const OpenInf&) = delete;
  HINF Get() const { return handle_; }
  UINT ErrorLine() const { return errorLine_; }

 private:
  HINF handle_;
  UINT errorLine_ = 0;
};

std::string Field(INFCONTEXT* line, DWORD index) {
  char text[512] = {};
  if (!SetupGetStringFieldA(line, index, text, sizeof text, nullptr)) return "<missing>";
  return text;
}

// The section names that a directive (AddReg=a,b,c) of an install section lists.
std::vector<std::string> DirectiveSections(HINF inf, const std::string& section, const char* key) {
  std::vector<std::string> names;
  INFCONTEXT line;
  if (!SetupFindFirstLineA(inf, section.c_str(), key, &line)) return names;
  for (DWORD i = 1; i <= SetupGetFieldCount(&line); ++i) names.push_back(Field(&line, i));
  return names;
}

}  // namespace

TEST_CASE("Zorvane.inf is a Modem-class INF whose one model is the Zorvane PPP Data Modem") {
  OpenInf inf(InfPath());
  REQUIRE(inf.Get() != INVALID_HANDLE_VALUE);

  GUID classGuid = {};
  char className[64] = {};
  REQUIRE(SetupDiGetINFClassA(InfPath().c_str(), &classGuid, className, sizeof className, nullptr));
  CHECK(strcmp(className, "Modem") == 0);
  CHECK(IsEqualGUID(classGuid, kModemClassGuid));

  INFCONTEXT manufacturer;
  REQUIRE(SetupFindFirstLineA(inf.Get(), "Manufacturer", nullptr, &manufacturer));
  CHECK(SetupGetLineCountA(inf.Get(), "Manufacturer") == 1);
  CHECK(Field(&manufacturer, 0) == "Zorvane");
  const std::string models = Field(&manufacturer, 1);
  std::vector<std::string> sections = {models};
  for (DWORD i = 2; i <= SetupGetFieldCount(&manufacturer); ++i)
    sections.push_back(models + "." + Field(&manufacturer, i));
  // 32-bit and 64-bit Windows each need their decorated models section.
  CHECK(ContainsLine(sections, models + ".NTx86"));
  CHECK(ContainsLine(sections, models + ".NTamd64"));

  for (const std::string& section : sections) {
    CAPTURE(section);
    CHECK(SetupGetLineCountA(inf.Get(), section.c_str()) == 1);
    INFCONTEXT model;
    REQUIRE(SetupFindFirstLineA(inf.Get(), section.c_str(), nullptr, &model));
    CHECK(Field(&model, 0) == kModemName);
    const std::string install = Field(&model, 1);
    // Every registry section that the NT install section names exists.
    std::vector<std::string> addReg = DirectiveSections(inf.Get(), install + ".NT", "AddReg");
    CHECK(addReg.size() >= 1);
    for (const std::string& reg : addReg) {
      CAPTURE(reg);
      CHECK(SetupGetLineCountA(inf.Get(), reg.c_str()) > 0);
    }
  }
}

TEST_CASE("Zorvane.inf is staged in the INF store and removed by its fixed name") {
  // An earlier run that stopped half-way may have left it there.
  SetupUninstallOEMInfA("zorvane.inf", SUOI_FORCEDELETE, nullptr);

  char media[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof media, media);
  char staged[MAX_PATH] = {};
  REQUIRE(SetupCopyOEMInfA(InfPath().c_str(), media, SPOST_PATH, SP_COPY_NOOVERWRITE, staged,
                           sizeof staged, nullptr, nullptr));
  // Wine keeps the INF's own name in the store (Windows would pick oemN.inf).
  CHECK(_stricmp(staged, InfStoreFile("Zorvane.inf").c_str()) == 0);
  std::string original, copy;
  REQUIRE(ReadWholeFile(InfPath(), &original));
  REQUIRE(ReadWholeFile(staged, &copy));
  CHECK(copy == original);

  char again[MAX_PATH] = {};
  CHECK_FALSE(SetupCopyOEMInfA(InfPath().c_str(), media, SPOST_PATH, SP_COPY_NOOVERWRITE, again,
                               sizeof again, nullptr, nullptr));
  CHECK(GetLastError() == ERROR_FILE_EXISTS);
  CHECK(_stricmp(again, staged) == 0);

  CHECK(SetupUninstallOEMInfA("zorvane.inf", SUOI_FORCEDELETE, nullptr));
  CHECK_FALSE(FileExists(staged));
}

TEST_CASE("a modem installed from Zorvane.inf carries its name and modem settings") {
  REQUIRE(EnsureModemClass());
  const std::string id = "ROOT\\MODEM\\HVTOOLS_INF";
  RemoveTestDevicesWithPrefix(kModemClassGuid, id);
  REQUIRE(InstallTestDeviceFromInf(InfPath(), id, "MDMZORVANE_PPP"));

  struct Value {
    const char* subKey;
    const char* name;
    std::string data;
  };
  const Value values[] = {
      // DialOptions .. MaxDCERate; MaxDTERate 115200, MaxDCERate 56000.
      {nullptr, "Properties",
       std::string("\xc0\x01\0\0\xff\0\0\0\xff\0\0\0\x07\0\0\0\x0f\0\0\0\xb7\x03\0\0"
                   "\x00\xc2\x01\0\xc0\xda\0\0",
                   32)},
      {"Init", "1", std::string("AT<cr>", 7)},
      {"Init", "2", std::string("AT&FE0V1&C1&D2S0=0<cr>", 23)},
      {"Settings", "Compression_On", std::string("%C1", 4)},
      {"Responses", "<cr><lf>CONNECT 56000<cr><lf>",
       std::string("\x02\0\xc0\xda\0\0\0\0\0\0", 10)},
  };
  for (const Value& v : values) {
    const std::string shown = v.name;
    CAPTURE(shown);
    std::string data;
    CHECK(ReadDriverValue(id, v.subKey, v.name, &data));
    CHECK(data == v.data);
  }

  // The device console lists it under its model name and removes it.
  std::string dir = MakeScratchDir("driver_inf_devcon");
  ToolRun run = RunTool(BinPath("devcon_64.exe"), "listclass MODEM", dir);
  CHECK(run.exitCode == 0);
  CHECK(EndsLinesWithCrLf(run.out));
  const std::string named = std::string(": ") + kModemName;
  bool listed = false;
  for (const std::string& line : TextLines(run.out))
    if (line.rfind(id + " ", 0) == 0)
      listed = line.size() > named.size() && line.substr(line.size() - named.size()) == named;
  CHECK(listed);
  run = RunTool(BinPath("devcon_64.exe"), QuoteArgument("remove") + " " + QuoteArgument("@" + id), dir);
  CHECK(run.exitCode == 0);
  CHECK_FALSE(DeviceExists(id));
}
