// Fake setupapi.dll: an INF store in the folder fake_infstore of the current
// directory that names its copies as Wine's does, or as Windows' does (oem<N>.inf,
// the original name kept in the copy's .pnf) when the script says so
// (formats and scripted outcomes: fake_stack.h).
#define _SETUPAPI_  // this file defines the functions that setupapi.h imports
#include <windows.h>
#include <setupapi.h>
#include <stddef.h>
#include <string.h>

#include "tests/fakes/fake_runtime.h"

using fakefiles::Number;
using fakefiles::Pointer;
using fakefiles::Text;

namespace {

const char kLib[] = "setupapi";

std::string StoreDir() {
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof cwd, cwd);
  std::string dir = cwd;
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir + fakefiles::kInfStore;
}

std::string BaseName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  return name;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// "InfStore windows" in the script: new copies are oem<N>.inf, and the original
// name is read back from the .pnf.
bool WindowsNaming() {
  std::string naming;
  return fakeruntime::Scripted(kLib, "InfStore", nullptr, &naming) && naming == "windows";
}

// The precompiled file beside a store INF, which keeps the INF's original name.
std::string PnfOf(const std::string& infPath) { return infPath.substr(0, infPath.size() - 3) + "pnf"; }

struct CopyOutcome {
  BOOL result = FALSE;
  DWORD error = 0;
  std::string name;      // the store copy the destination names; empty: none
  bool write = false;    // the source's bytes go to the store under name
};

// As Wine: a store INF with the same content is the existing copy (refused
// under SP_COPY_NOOVERWRITE, written over otherwise); a different INF of the
// same name gets the next free oem<N>.inf. As Windows: every new copy gets it.
CopyOutcome NaturalCopy(const std::string& content, const std::string& sourceName, DWORD copyStyle) {
  CopyOutcome out;
  for (const std::string& name : fakefiles::FileNames(StoreDir(), "*.inf")) {
    std::string stored;
    if (fakefiles::ReadFileBytes(StoreDir() + "\\" + name, &stored) && stored == content) {
      out.name = name;
      if (copyStyle & SP_COPY_NOOVERWRITE) {
        out.error = ERROR_FILE_EXISTS;
        return out;
      }
      out.result = TRUE;
      out.write = true;
      return out;
    }
  }
  out.name = WindowsNaming() ? "oem0.inf" : sourceName;
  for (int n = 0; Exists(StoreDir() + "\\" + out.name); ++n) out.name = "oem" + std::to_string(n) + ".inf";
  out.result = TRUE;
  out.write = true;
  return out;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  fakeruntime::LogModuleEvent(kLib, reason, reserved);
  return TRUE;
}

BOOL WINAPI SetupCopyOEMInfA(PCSTR source, PCSTR media, DWORD mediaType, DWORD copyStyle, PSTR dest,
                             DWORD destSize, PDWORD requiredSize, PSTR* filePart) {
  std::string content;
  bool readable = source != nullptr && fakefiles::ReadFileBytes(source, &content);
  std::string sourceName = source ? BaseName(source) : std::string();

  CopyOutcome out;
  std::string scripted;
  if (fakeruntime::Scripted(kLib, "SetupCopyOEMInfA", nullptr, &scripted)) {
    out.name = sourceName;
    if (scripted == "copied") {
      out.result = TRUE;
      out.write = true;
    } else if (scripted == "staged") {
      out.error = ERROR_FILE_EXISTS;
    } else {  // "failed": nothing named
      out.name.clear();
      out.error = ERROR_FILE_NOT_FOUND;
    }
  } else if (!readable) {
    out.error = source ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER;
  } else {
    out = NaturalCopy(content, sourceName, copyStyle);
  }

  if (!out.name.empty()) {
    std::string path = StoreDir() + "\\" + out.name;
    if (requiredSize) *requiredSize = static_cast<DWORD>(path.size() + 1);
    if (dest && destSize < path.size() + 1) {
      // Nothing is copied when the name does not fit.
      out = CopyOutcome();
      out.error = ERROR_INSUFFICIENT_BUFFER;
    } else {
      if (out.write) {
        CreateDirectoryA(StoreDir().c_str(), nullptr);
        fakefiles::WriteFileBytes(path, content);
        fakefiles::WriteFileBytes(PnfOf(path), sourceName);
      }
      if (dest) {
        memcpy(dest, path.c_str(), path.size() + 1);
        if (filePart) *filePart = dest + path.size() - out.name.size();
      }
    }
  }

  fakeruntime::Log(kLib, std::string("SetupCopyOEMInfA source=") + Text(source) + " media=" + Text(media) +
                             " mediaType=" + Number(mediaType) + " copyStyle=" + Number(copyStyle) +
                             " destSize=" + Number(destSize) + " requiredSize=" + Pointer(requiredSize) +
                             " filePart=" + Pointer(filePart) + " result=" + Number(out.result) +
                             " error=" + Number(out.error) +
                             " destination=" + fakefiles::TextN(dest, destSize));
  SetLastError(out.error);
  return out.result;
}

BOOL WINAPI SetupUninstallOEMInfA(PCSTR name, DWORD flags, PVOID reserved) {
  BOOL result = FALSE;
  DWORD error = 0;
  std::string path;
  if (name == nullptr) {
    error = ERROR_INVALID_PARAMETER;
  } else if (strpbrk(name, "\\/:") != nullptr) {
    error = ERROR_PATH_NOT_FOUND;  // Wine takes only a bare file name in the store
  } else {
    path = StoreDir() + "\\" + name;
    if (Exists(path)) {
      result = TRUE;
    } else {
      error = ERROR_FILE_NOT_FOUND;
    }
  }
  bool forced = false;
  BOOL scripted = static_cast<BOOL>(fakeruntime::ScriptedNumber(
      kLib, "SetupUninstallOEMInfA", nullptr, static_cast<unsigned long>(result), &forced));
  if (forced) error = scripted ? 0 : (error ? error : ERROR_ACCESS_DENIED);
  if (result && scripted) {  // a scripted failure keeps the files
    DeleteFileA(path.c_str());
    DeleteFileA(PnfOf(path).c_str());
  }
  fakeruntime::Log(kLib, std::string("SetupUninstallOEMInfA name=") + Text(name) +
                             " flags=" + Number(flags) + " reserved=" + Pointer(reserved) +
                             " result=" + Number(scripted) + " error=" + Number(error));
  SetLastError(error);
  return scripted;
}

// The store's INF names (a null directory) or another folder's, sorted, each
// ends in a NUL and an empty name ends the list; the size counts characters.
BOOL WINAPI SetupGetInfFileListA(PCSTR directory, DWORD style, PSTR buffer, DWORD size, PDWORD required) {
  std::string list;
  std::string folder = directory ? std::string(directory) : StoreDir();
  for (const std::string& name : fakefiles::FileNames(folder, "*.inf")) list += name + '\0';
  list += '\0';
  if (required) *required = static_cast<DWORD>(list.size());
  BOOL result = TRUE;
  DWORD error = 0;
  if (buffer != nullptr && size < list.size()) {
    result = FALSE;
    error = ERROR_INSUFFICIENT_BUFFER;
  }
  bool forced = false;
  result = static_cast<BOOL>(fakeruntime::ScriptedNumber(kLib, "SetupGetInfFileListA", nullptr,
                                                         static_cast<unsigned long>(result), &forced));
  if (forced) error = result ? 0 : (error ? error : ERROR_ACCESS_DENIED);
  if (result && buffer != nullptr) memcpy(buffer, list.data(), list.size());
  fakeruntime::Log(kLib, std::string("SetupGetInfFileListA directory=") + Text(directory) +
                             " style=" + Number(style) + " size=" + Number(size) +
                             " result=" + Number(result) + " error=" + Number(error));
  SetLastError(error);
  return result;
}

// A bare name under INFINFO_DEFAULT_SEARCH is looked up in the store. The
// information holds the INF's full path as its version data, as Wine's does.
BOOL WINAPI SetupGetInfInformationA(LPCVOID infSpec, DWORD search, PSP_INF_INFORMATION buffer, DWORD size,
                                    PDWORD required) {
  const char* name = static_cast<const char*>(infSpec);
  std::string path;
  DWORD error = 0;
  if (name == nullptr || (search != INFINFO_DEFAULT_SEARCH && search != INFINFO_INF_NAME_IS_ABSOLUTE)) {
    error = ERROR_INVALID_PARAMETER;
  } else {
    path = (search == INFINFO_DEFAULT_SEARCH && !strpbrk(name, "\\/:")) ? StoreDir() + "\\" + name : name;
    if (!Exists(path)) error = ERROR_FILE_NOT_FOUND;
  }
  const DWORD needed = static_cast<DWORD>(offsetof(SP_INF_INFORMATION, VersionData) + path.size() + 1);
  if (!error && required) *required = needed;
  if (!error && buffer != nullptr && size < needed) error = ERROR_INSUFFICIENT_BUFFER;
  if (!error && buffer != nullptr) {
    buffer->InfStyle = INF_STYLE_WIN4;
    buffer->InfCount = 1;
    memcpy(buffer->VersionData, path.c_str(), path.size() + 1);
  }
  BOOL result = error ? FALSE : TRUE;
  fakeruntime::Log(kLib, std::string("SetupGetInfInformationA inf=") + Text(name) + " search=" +
                             Number(search) + " size=" + Number(size) + " result=" + Number(result) +
                             " error=" + Number(error));
  SetLastError(error);
  return result;
}

// The name kept in the .pnf under Windows naming; otherwise, as Wine answers,
// the store file's own name.
BOOL WINAPI SetupQueryInfOriginalFileInformationA(PSP_INF_INFORMATION info, UINT index, PSP_ALTPLATFORM_INFO platform,
                                                  PSP_ORIGINAL_FILE_INFO_A original) {
  DWORD error = 0;
  std::string path = info ? reinterpret_cast<const char*>(info->VersionData) : "";
  std::string name = BaseName(path.c_str());
  if (info == nullptr || original == nullptr || index >= info->InfCount) {
    error = ERROR_INVALID_PARAMETER;
  } else if (original->cbSize != sizeof *original) {
    error = ERROR_INVALID_USER_BUFFER;
  } else {
    std::string kept;
    if (WindowsNaming() && fakefiles::ReadFileBytes(PnfOf(path), &kept)) name = kept;
    lstrcpynA(original->OriginalInfName, name.c_str(), MAX_PATH);
    original->OriginalCatalogName[0] = '\0';
  }
  BOOL result = error ? FALSE : TRUE;
  fakeruntime::Log(kLib, std::string("SetupQueryInfOriginalFileInformationA inf=") + Text(path.c_str()) +
                             " index=" + Number(index) + " platform=" + Pointer(platform) +
                             " result=" + Number(result) + " error=" + Number(error) +
                             " original=" + Text(result ? original->OriginalInfName : nullptr));
  SetLastError(error);
  return result;
}
