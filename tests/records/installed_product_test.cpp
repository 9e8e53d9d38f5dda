// The installed-product lookup against Wine's registry, in both layouts: the
// records of the layout that the WOW64 probe selects, while the other layout
// holds a decoy that a lookup on the wrong keys would find.
#include <doctest.h>

#include <string.h>
#include <string>
#include <vector>

#include "job/product_names.h"
#include "records/installed_product.h"
#include "tests/seams/scripted_probes.h"
#include "tests/support/registry_scratch.h"

using namespace std::string_literals;

namespace {

struct Layout {
  const char* name;
  int wow64;
  const char* product;  // the product key; the brand key is below it
};
const Layout kNative = {"native", 0, "SOFTWARE\\Tervaloxen"};
const Layout kWow64 = {"WOW64", 1, "SOFTWARE\\Wow6432Node\\Tervaloxen"};
const Layout kLayouts[] = {kNative, kWow64};

std::string BrandKey(const Layout& layout) { return std::string(layout.product) + "\\Brand"; }

// Wine hands out string data that lacks a terminator with one added; data that
// must reach the lookup byte for byte is therefore stored as binary (the lookup
// does not look at types).
struct Value {
  std::string name;
  std::string data;  // exact bytes
  DWORD type = REG_SZ;
};

// A string value's data with its terminator.
std::string Sz(const std::string& text) { return text + '\0'; }

void ClearRecords() {
  for (const Layout& layout : kLayouts)
    REQUIRE(ForceDeleteKeyTree(HKEY_LOCAL_MACHINE, layout.product));
}

void WriteValues(const std::string& key, const std::vector<Value>& values) {
  REQUIRE(CreateKeyPath(HKEY_LOCAL_MACHINE, key));
  for (const Value& v : values)
    REQUIRE(SetValueBytes(HKEY_LOCAL_MACHINE, key, v.name, v.data, v.type));
}

// A record set in the other layout that names every brand asked for here.
void WriteDecoy(const Layout& layout) {
  WriteValues(BrandKey(layout), {{"APP1", Sz(kEarlierReleaseBrand)}});
  WriteValues(layout.product, {{"InstallationDir", Sz("C:\\Decoy")}});
}

const std::string kBrand = kEarlierReleaseBrand;
const std::string kDir = "C:\\Program Files\\Zorvane\\Halvoran 2.0";
const std::string k259(259, 'd');

struct Row {
  const char* what;
  std::string brandName;
  bool brandKey;                   // false: no records at all in this layout
  std::vector<Value> brandValues;  // in the registry's enumeration order (by name)
  std::vector<Value> productValues;
  DWORD productDenied;  // access rights denied on the product key
  DWORD bothDenied;     // rights denied on both keys
  bool passBuffer;
  int result;
  std::string written;  // the bytes expected at the start of the buffer; empty: untouched
};

const DWORD kAllButQuery = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;

std::vector<Row> Rows() {
  const std::vector<Value> dirValue = {{"InstallationDir", Sz(kDir)}};
  const std::vector<Value> brand = {{"APP1", Sz(kBrand)}};
  const std::string dirWritten = kDir + "\0\0"s;
  return {
      // The brand check.
      {"no brand key", kBrand, false, {}, {}, 0, 0, true, 0, ""},
      {"brand key without values", kBrand, true, {}, dirValue, 0, 0, true, 0, ""},
      {"no value named APP... (case counts)", kBrand, true,
       {{"AP", Sz(kBrand)}, {"app1", Sz(kBrand)}, {"Version", Sz(kBrand)}}, dirValue, 0, 0, true,
       0, ""},
      {"first brand value names another brand", kBrand, true,
       {{"APP1", Sz(kAcceleratorBrand)}, {"APP2", Sz(kBrand)}}, dirValue, 0, 0, true, 0, ""},
      {"first brand value names the brand", kBrand, true,
       {{"APP1", Sz(kBrand)}, {"APP2", Sz(kAcceleratorBrand)}}, dirValue, 0, 0, true, 1,
       dirWritten},
      {"values before the first brand value are skipped", kBrand, true,
       {{"AAA", Sz(kAcceleratorBrand)}, {"APP1", Sz(kBrand)}}, dirValue, 0, 0, true, 1,
       dirWritten},
      {"brand with a service-pack suffix", kBrand, true, {{"APP1", Sz(kBrand + " SP2")}},
       dirValue, 0, 0, true, 1, dirWritten},
      {"value named APPLICATION is a brand value", kBrand, true, {{"APPLICATION", Sz(kBrand)}},
       dirValue, 0, 0, true, 1, dirWritten},
      {"brand data shorter than the name", kBrand, true, {{"APP1", Sz("Zorvane Halvoran")}},
       dirValue, 0, 0, true, 0, ""},
      {"brand data without terminator", kBrand, true, {{"APP1", kBrand, REG_BINARY}}, dirValue, 0, 0, true,
       1, dirWritten},
      {"brand data of exactly 260 bytes", kBrand, true,
       {{"APP1", kBrand + std::string(260 - kBrand.size(), 'x'), REG_BINARY}}, dirValue, 0, 0, true, 1,
       dirWritten},
      {"empty brand name, any first brand value", "", true, {{"APP1", Sz("Something else")}},
       dirValue, 0, 0, true, 1, dirWritten},
      {"empty brand name, empty brand data", "", true, {{"APP1", ""}}, dirValue, 0, 0, true, 1,
       dirWritten},
      {"empty brand name, no brand value", "", true, {{"Version", Sz("2.0")}}, dirValue, 0, 0,
       true, 0, ""},
      {"name of 259 characters before the brand value is read", kBrand, true,
       {{"AA" + std::string(257, 'n'), Sz("x")}, {"APP1", Sz(kBrand)}}, dirValue, 0, 0, true, 1,
       dirWritten},
      {"name of 260 characters ends the scan", kBrand, true,
       {{"AA" + std::string(258, 'n'), Sz("x")}, {"APP1", Sz(kBrand)}}, dirValue, 0, 0, true, 0,
       ""},
      {"data of 260 bytes before the brand value is read", kBrand, true,
       {{"AA", std::string(260, 'x'), REG_BINARY}, {"APP1", Sz(kBrand)}}, dirValue, 0, 0, true, 1,
       dirWritten},
      {"data of 261 bytes ends the scan", kBrand, true,
       {{"AA", std::string(261, 'x'), REG_BINARY}, {"APP1", Sz(kBrand)}}, dirValue, 0, 0, true, 0, ""},
      {"brand value itself too long", kBrand, true, {{"APP1", Sz(kBrand + std::string(300, ' '))}},
       dirValue, 0, 0, true, 0, ""},
      // The directory.
      {"product key cannot be opened", kBrand, true, brand, dirValue, KEY_QUERY_VALUE, 0, true, 1,
       ""},
      {"keys that allow value queries only", kBrand, true, brand, dirValue, 0, kAllButQuery, true,
       1, dirWritten},
      {"no directory value (case counts)", kBrand, true, brand,
       {{"installationdir", Sz(kDir)}, {"Version", Sz("2.0")}}, 0, 0, true, 1, ""},
      {"value named InstallationDirectory", kBrand, true, brand,
       {{"InstallationDirectory", Sz(kDir)}}, 0, 0, true, 1, dirWritten},
      {"first directory value counts", kBrand, true, brand,
       {{"InstallationDir", Sz("C:\\A")}, {"InstallationDir2", Sz("C:\\B")}}, 0, 0, true, 1,
       "C:\\A\0\0"s},
      {"name of 260 characters before the directory value", kBrand, true, brand,
       {{"Ia" + std::string(258, 'n'), Sz("x")}, {"InstallationDir", Sz(kDir)}}, 0, 0, true, 1,
       ""},
      {"data of 261 bytes before the directory value", kBrand, true, brand,
       {{"Ia", std::string(261, 'x'), REG_BINARY}, {"InstallationDir", Sz(kDir)}}, 0, 0, true, 1, ""},
      {"directory value of 261 bytes", kBrand, true, brand,
       {{"InstallationDir", Sz(std::string(260, 'd'))}}, 0, 0, true, 1, ""},
      {"directory of 259 characters and terminator (260 bytes)", kBrand, true, brand,
       {{"InstallationDir", Sz(k259)}}, 0, 0, true, 1, Sz(k259)},
      {"directory of 260 bytes without terminator is refused", kBrand, true, brand,
       {{"InstallationDir", std::string(260, 'd'), REG_BINARY}}, 0, 0, true, 1, ""},
      {"directory of 259 bytes without terminator", kBrand, true, brand,
       {{"InstallationDir", k259, REG_BINARY}}, 0, 0, true, 1, Sz(k259)},
      {"directory data with an inner terminator", kBrand, true, brand,
       {{"InstallationDir", "C:\\A\0junk\0"s}}, 0, 0, true, 1, "C:\\A\0\0\0\0\0\0\0"s},
      {"empty directory value", kBrand, true, brand, {{"InstallationDir", ""}}, 0, 0, true, 1,
       "\0"s},
      {"no buffer", kBrand, true, brand, dirValue, 0, 0, false, 1, ""},
  };
}

// The caller's buffer and what lies behind it.
struct GuardedBuffer {
  char directory[MAX_PATH];
  char behind[16];
};

}  // namespace

TEST_CASE("installed-product lookup: the outcome table in both registry layouts") {
  for (const Layout& layout : kLayouts) {
    const Layout& other = layout.wow64 ? kNative : kWow64;
    for (const Row& row : Rows()) {
      INFO(std::string(layout.name));
      INFO(std::string(row.what));
      ClearRecords();
      WriteDecoy(other);
      if (row.brandKey) {
        WriteValues(BrandKey(layout), row.brandValues);
        WriteValues(layout.product, row.productValues);
      }
      if (row.productDenied) REQUIRE(LockKey(HKEY_LOCAL_MACHINE, layout.product, row.productDenied));
      if (row.bothDenied) {
        REQUIRE(LockKey(HKEY_LOCAL_MACHINE, layout.product, row.bothDenied));
        REQUIRE(LockKey(HKEY_LOCAL_MACHINE, BrandKey(layout), row.bothDenied));
      }

      GuardedBuffer buffer;
      memset(&buffer, '#', sizeof buffer);
      g_scriptedIsWow64 = layout.wow64;
      g_isWow64Calls = 0;
      int result = FindInstalledProduct(row.brandName.c_str(),
                                        row.passBuffer ? buffer.directory : nullptr);

      CHECK(result == row.result);
      // Asked afresh before each of the two keys is opened.
      CHECK(g_isWow64Calls == (row.result ? 2 : 1));
      std::string expected = row.written;
      expected.append(sizeof buffer - expected.size(), '#');
      CHECK(std::string(reinterpret_cast<const char*>(&buffer), sizeof buffer) == expected);
    }
  }
  ClearRecords();
}
