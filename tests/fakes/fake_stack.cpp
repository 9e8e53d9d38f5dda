#include "tests/fakes/fake_stack.h"

#include <windows.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>

#include "tests/support/process.h"
#include "tests/support/scratch.h"
#include "tests/support/system_file.h"

namespace fakestack {

namespace {
const char* const kLibraries[] = {"rasapi32", "rasdlg", "setupapi"};

const fakefiles::Field* FindField(const Call& call, const char* key) {
  for (const fakefiles::Field& f : call.fields)
    if (f.key == key) return &f;
  return nullptr;
}
}  // namespace

namespace {
// <run>\bin\fakes, where the build put the fakes (this test executable is in <run>).
std::string FakeBinDir() { return BinPath("fakes"); }

// The planted libraries; their destructors put Wine's own back, at the latest
// when this executable ends.
std::vector<std::unique_ptr<PlantedSystemFile>> g_planted;
}  // namespace

bool PlantSystemFakes(const std::vector<std::string>& variants, bool setupLibrary) {
  RestoreSystemLibraries();
  bool ok = true;
  for (const char* lib : kLibraries) {
    std::string file = std::string(lib) + ".dll";
    std::string source = JoinPath(FakeBinDir(), file);
    for (const std::string& variant : variants)
      if (VariantLibrary(variant) == file) source = VariantPath(variant);
    if (!setupLibrary && file == "setupapi.dll") continue;
    g_planted.push_back(std::make_unique<PlantedSystemFile>(file, source));
    ok = g_planted.back()->Planted() && ok;
  }
  return ok;
}

std::string VariantLibrary(const std::string& variant) {
  return variant.substr(0, variant.find('-')) + ".dll";
}

std::string VariantPath(const std::string& variant) {
  return JoinPath(FakeBinDir(), "variants\\" + variant + "\\" + VariantLibrary(variant));
}

void RestoreSystemLibraries() {
  // Last planted, first restored.
  while (!g_planted.empty()) g_planted.pop_back();
}

bool WriteDevices(const std::string& dir, const std::vector<Device>& devices) {
  return WriteWholeFile(JoinPath(dir, fakefiles::kDevices), fakefiles::FormatDevices(devices));
}

bool WriteScript(const std::string& dir, const std::string& rules) {
  return WriteWholeFile(JoinPath(dir, fakefiles::kScript), rules);
}

bool WritePhonebook(const std::string& dir, const std::vector<PhonebookEntry>& entries) {
  return WriteWholeFile(JoinPath(dir, fakefiles::kPhonebook), fakefiles::FormatPhonebook(entries));
}

bool Call::Has(const char* key) const { return FindField(*this, key) != nullptr; }

bool Call::IsNull(const char* key) const {
  const fakefiles::Field* f = FindField(*this, key);
  return f && f->kind == fakefiles::Kind::Null;
}

std::string Call::Text(const char* key) const {
  const fakefiles::Field* f = FindField(*this, key);
  return f ? f->value : std::string();
}

unsigned long long Call::Number(const char* key) const {
  const fakefiles::Field* f = FindField(*this, key);
  if (!f || f->kind != fakefiles::Kind::Number) return 0;
  return f->value[0] == '-' ? static_cast<unsigned long long>(strtoll(f->value.c_str(), nullptr, 10))
                            : strtoull(f->value.c_str(), nullptr, 10);
}

std::vector<Call> ReadCalls(const std::string& dir) {
  std::vector<Call> calls;
  for (const std::string& line : FileLines(JoinPath(dir, fakefiles::kCallLog))) {
    if (line.empty()) continue;
    std::vector<std::string> words;
    Call call;
    if (!fakefiles::ParseLine(line, &words, &call.fields) || words.size() != 2) {
      call.event = "?";
      call.fields.clear();
    } else {
      call.library = words[0];
      call.event = words[1];
    }
    calls.push_back(call);
  }
  return calls;
}

std::vector<Call> CallsOf(const std::vector<Call>& calls, const std::string& library,
                          const std::string& event) {
  std::vector<Call> out;
  for (const Call& c : calls)
    if (c.library == library && c.event == event) out.push_back(c);
  return out;
}

size_t CountOf(const std::vector<Call>& calls, const std::string& library, const std::string& event) {
  return CallsOf(calls, library, event).size();
}

std::vector<PhonebookEntry> ReadPhonebook(const std::string& dir) {
  return fakefiles::ParsePhonebook(FileText(JoinPath(dir, fakefiles::kPhonebook)));
}

std::string InfStoreDir(const std::string& dir) { return JoinPath(dir, fakefiles::kInfStore); }

bool SeedStoreCopy(const std::string& dir, const std::string& storeName,
                   const std::string& originalName, const std::string& source) {
  std::string inf = JoinPath(InfStoreDir(dir), storeName);
  CreateDirectoryA(InfStoreDir(dir).c_str(), nullptr);
  return CopyFileTo(source, inf) &&
         WriteWholeFile(inf.substr(0, inf.size() - 3) + "pnf", originalName);
}

std::vector<std::string> StagedInfs(const std::string& dir) {
  return fakefiles::FileNames(InfStoreDir(dir), "*.inf");
}

uint32_t DwordAt(const std::string& bytes, size_t offset) {
  if (offset + 4 > bytes.size()) return 0;
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return v;
}

std::string TextAt(const std::string& bytes, size_t offset, size_t max) {
  if (offset >= bytes.size()) return std::string();
  size_t limit = std::min(max, bytes.size() - offset);
  std::string text = bytes.substr(offset, limit);
  size_t nul = text.find('\0');
  return nul == std::string::npos ? text : text.substr(0, nul);
}

}  // namespace fakestack
