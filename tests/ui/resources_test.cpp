// The resources of the built program, read as data from its file: the dialog
// template, the icon, the pictures, the version, the manifest and the
// language of each.
#include <doctest.h>

#include <ctype.h>
#include <string.h>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "ui/resource.h"

namespace {

constexpr WORD kEnglishUk = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);  // 0x0809
constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 0x0409

class ProgramResources {
 public:
  ProgramResources() : module_(LoadLibraryExA(RealProgramPath().c_str(), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ProgramResources() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE Module() const { return module_; }

  // The bytes of one resource in one language; empty when there is none.
  std::string Bytes(LPCSTR type, int id, WORD language) const {
    HRSRC info = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), language);
    if (!info) return std::string();
    HGLOBAL data = LoadResource(module_, info);
    const char* bytes = static_cast<const char*>(LockResource(data));
    return bytes ? std::string(bytes, SizeofResource(module_, info)) : std::string();
  }

  std::vector<WORD> Languages(LPCSTR type, int id) const {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(module_, type, MAKEINTRESOURCEA(id), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
  }

 private:
  static BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
  }
  HMODULE module_;
};

// Reads an extended dialog template field by field.
class TemplateReader {
 public:
  explicit TemplateReader(const std::string& bytes) : bytes_(bytes) {}
  WORD Word() { return Get<WORD>(); }
  DWORD Dword() { return Get<DWORD>(); }
  short Short() { return Get<short>(); }
  BYTE Byte() { return Get<BYTE>(); }
  // A string, or "#n" for an ordinal.
  std::string StringOrOrdinal() {
    WORD first = Word();
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    std::string text;
    for (WORD c = first; c != 0; c = Word()) text += static_cast<char>(c);
    return text;
  }
  // A window class, by name in lower case; the predefined classes may be
  // stored by ordinal or by name, in any case.
  std::string ClassName() {
    std::string name = StringOrOrdinal();
    if (name == "#128") return "button";
    if (name == "#129") return "edit";
    if (name == "#130") return "static";
    for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return name;
  }
  void AlignDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
  bool Overrun() const { return overrun_; }

 private:
  template <typename T> T Get() {
    T value{};
    if (offset_ + sizeof(T) > bytes_.size()) {
      overrun_ = true;
      return value;
    }
    memcpy(&value, bytes_.data() + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }
  const std::string& bytes_;
  size_t offset_ = 0;
  bool overrun_ = false;
};

std::string VersionString(const std::vector<char>& block, const char* key) {
  char* value = nullptr;
  UINT length = 0;
  std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
      value == nullptr)
    return "(none)";
  return std::string(value, strnlen(value, length));
}

}  // namespace

TEST_CASE("dialog template 102 holds the progress dialog's layout") {
  ProgramResources resources;
  REQUIRE(resources.Module() != nullptr);
  std::string bytes = resources.Bytes(RT_DIALOG, IDD_HALVORANINSTALLWINAPP_DIALOG, kEnglishUk);
  REQUIRE(!bytes.empty());
  TemplateReader t(bytes);
  CHECK(t.Word() == 1);        // extended template
  CHECK(t.Word() == 0xFFFF);
  CHECK(t.Dword() == 0);       // help id
  CHECK(t.Dword() == 0x00040000u);  // WS_EX_APPWINDOW
  DWORD style = t.Dword();
  CHECK(style == 0x90C800C0u);
  CHECK((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
  WORD items = t.Word();
  CHECK(items == 5);
  CHECK(t.Short() == 0);
  CHECK(t.Short() == 0);
  CHECK(t.Short() == 354);
  CHECK(t.Short() == 229);
  CHECK(t.StringOrOrdinal() == "");  // no menu
  CHECK(t.StringOrOrdinal() == "");  // the standard dialog class
  CHECK(t.StringOrOrdinal() == "Installing Zorvane PPP Modem and Internet Connection");
  CHECK(t.Word() == 8);        // points
  CHECK(t.Word() == 0);        // weight
  CHECK(t.Byte() == 0);        // not italic
  CHECK(t.Byte() == 1);        // DEFAULT_CHARSET
  CHECK(t.StringOrOrdinal() == "MS Sans Serif");

  struct Control {
    DWORD id;
    std::string windowClass;
    const char* text;
    DWORD style;
    short x, y, cx, cy;
  };
  const Control expected[] = {
      {1, "button", "Close", 0x50010001, 297, 208, 50, 14},
      {IDC_STATUS_TEXT, "static", "(ready)", 0x50020000, 7, 214, 186, 8},
      {IDC_INSTRUCTION_TEXT, "edit", "", 0x50000804, 124, 7, 216, 73},
      {0xFFFFFFFF, "static", "#130", 0x5000000E, 7, 7, 117, 193},     // bitmap 130
      {0xFFFFFFFF, "static", "#131", 0x5000000E, 124, 80, 217, 120},  // bitmap 131
  };
  for (size_t i = 0; i < items && i < 5; ++i) {
    CAPTURE(i);
    const Control& c = expected[i];
    t.AlignDword();
    CHECK(t.Dword() == 0);  // help id
    CHECK(t.Dword() == 0);  // extended style
    CHECK(t.Dword() == c.style);
    CHECK(t.Short() == c.x);
    CHECK(t.Short() == c.y);
    CHECK(t.Short() == c.cx);
    CHECK(t.Short() == c.cy);
    CHECK(t.Dword() == c.id);
    CHECK(t.ClassName() == c.windowClass);
    CHECK(t.StringOrOrdinal() == c.text);
    CHECK(t.Word() == 0);  // no creation data
  }
  CHECK_FALSE(t.Overrun());
}

TEST_CASE("the pictures are 24-bit bitmaps of their fixed sizes") {
  ProgramResources resources;
  REQUIRE(resources.Module() != nullptr);
  struct Picture { int id; LONG width; LONG height; };
  for (const Picture& p : {Picture{IDB_SIDE_PICTURE, 176, 314}, Picture{IDB_BANNER_PICTURE, 325, 195}}) {
    CAPTURE(p.id);
    std::string bytes = resources.Bytes(RT_BITMAP, p.id, kEnglishUk);
    REQUIRE(bytes.size() >= sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, bytes.data(), sizeof header);
    CHECK(header.biSize == sizeof(BITMAPINFOHEADER));
    CHECK(header.biWidth == p.width);
    CHECK(header.biHeight == p.height);
    CHECK(header.biPlanes == 1);
    CHECK(header.biBitCount == 24);
    CHECK(header.biCompression == BI_RGB);
    size_t rowBytes = (static_cast<size_t>(p.width) * 3 + 3) & ~size_t{3};
    CHECK(bytes.size() >= sizeof header + rowBytes * static_cast<size_t>(p.height));
  }
}

TEST_CASE("icon group 128 has a 32 x 32 and a 16 x 16 image of 16 colours") {
  ProgramResources resources;
  REQUIRE(resources.Module() != nullptr);
  std::string group = resources.Bytes(RT_GROUP_ICON, IDR_MAINFRAME, kEnglishUk);
  REQUIRE(group.size() >= 6);
  WORD header[3];
  memcpy(header, group.data(), sizeof header);
  CHECK(header[0] == 0);
  CHECK(header[1] == 1);  // icons
  REQUIRE(header[2] == 2);
  REQUIRE(group.size() >= 6 + 2 * 14u);
  const BYTE sizes[] = {32, 16};
  for (int i = 0; i < 2; ++i) {
    CAPTURE(i);
    const BYTE* entry = reinterpret_cast<const BYTE*>(group.data()) + 6 + 14 * i;
    CHECK(entry[0] == sizes[i]);  // width
    CHECK(entry[1] == sizes[i]);  // height
    CHECK(entry[2] == 16);        // colours
    WORD planes, bits, id;
    DWORD size;
    memcpy(&planes, entry + 4, 2);
    memcpy(&bits, entry + 6, 2);
    memcpy(&size, entry + 8, 4);
    memcpy(&id, entry + 12, 2);
    CHECK(planes == 1);
    CHECK(bits == 4);
    std::string image = resources.Bytes(RT_ICON, id, kEnglishUk);
    REQUIRE(image.size() >= sizeof(BITMAPINFOHEADER));
    CHECK(image.size() == size);
    BITMAPINFOHEADER dib;
    memcpy(&dib, image.data(), sizeof dib);
    CHECK(dib.biWidth == sizes[i]);
    CHECK(dib.biHeight == 2 * sizes[i]);  // colour image and mask
    CHECK(dib.biBitCount == 4);
  }
  // The program's own loader takes it as well, at both sizes.
  for (int size : {32, 16}) {
    HANDLE icon = LoadImageA(resources.Module(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size, 0);
    CHECK(icon != nullptr);
    if (icon) DestroyIcon(static_cast<HICON>(icon));
  }
}

TEST_CASE("the version resource names release 3.2.0.4232") {
  DWORD handle = 0;
  std::string path = RealProgramPath();
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  REQUIRE(size > 0);
  std::vector<char> block(size);
  REQUIRE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  REQUIRE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  REQUIRE(fixed != nullptr);
  CHECK(fixed->dwSignature == 0xFEEF04BDu);
  CHECK(fixed->dwFileVersionMS == 0x00030002u);
  CHECK(fixed->dwFileVersionLS == 4232u);
  CHECK(fixed->dwProductVersionMS == 0x00030002u);
  CHECK(fixed->dwProductVersionLS == 4232u);
  CHECK((fixed->dwFileFlags & fixed->dwFileFlagsMask) == 0);
  CHECK(fixed->dwFileOS == VOS__WINDOWS32);
  CHECK(fixed->dwFileType == VFT_APP);

  struct Entry { const char* key; const char* value; };
  const Entry strings[] = {
      {"FileDescription", "HalvoranInstallWinApp MFC Application"},
      {"FileVersion", "3, 2, 0, 4232"},
      {"InternalName", "HalvoranInstallWinApp"},
      {"OriginalFilename", "HalvoranInstallWinApp.EXE"},
      {"ProductName", "HalvoranInstallWinApp Application"},
      {"ProductVersion", "3, 2, 0, 4232"},
  };
  for (const Entry& e : strings) {
    std::string key = e.key;
    CAPTURE(key);
    CHECK(VersionString(block, e.key) == e.value);
  }
  WORD* translation = nullptr;
  REQUIRE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(&translation), &length));
  REQUIRE(length == 4);
  CHECK(translation[0] == 0x0409);
  CHECK(translation[1] == 0x04B0);
}

TEST_CASE("the manifest asks for the invoker's rights and binds no side-by-side assembly") {
  ProgramResources resources;
  REQUIRE(resources.Module() != nullptr);
  std::string manifest = resources.Bytes(RT_MANIFEST, 1, kEnglishUs);
  REQUIRE(!manifest.empty());
  CHECK(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>") !=
        std::string::npos);
  CHECK(manifest.find("dependentAssembly") == std::string::npos);
  CHECK(manifest.find("assemblyIdentity") == std::string::npos);
}

TEST_CASE("each resource is stored once, in its language") {
  ProgramResources resources;
  REQUIRE(resources.Module() != nullptr);
  struct Entry { LPCSTR type; int id; WORD language; };
  const Entry entries[] = {
      {RT_DIALOG, IDD_HALVORANINSTALLWINAPP_DIALOG, kEnglishUk}, {RT_GROUP_ICON, IDR_MAINFRAME, kEnglishUk},
      {RT_BITMAP, IDB_SIDE_PICTURE, kEnglishUk}, {RT_BITMAP, IDB_BANNER_PICTURE, kEnglishUk},
      {RT_VERSION, 1, kEnglishUk},    {RT_MANIFEST, 1, kEnglishUs},
  };
  for (const Entry& e : entries) {
    CAPTURE(e.id);
    CHECK(resources.Languages(e.type, e.id) == std::vector<WORD>{e.language});
  }
}
