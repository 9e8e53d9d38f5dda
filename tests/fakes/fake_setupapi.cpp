// Fake setupapi.dll: an INF store in the folder fake_infstore of the current
// directory, behaving as Wine's SetupCopyOEMInfA and SetupUninstallOEMInfA do
// (formats and scripted outcomes: fake_stack.h).
#define _SETUPAPI_  // this file defines the functions that setupapi.h imports
#include <windows.h>
#include <setupapi.h>
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

// The store's INF files, for the comparison of contents.
std::vector<std::string> StoredInfs() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((StoreDir() + "\\*.inf").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct CopyOutcome {
  BOOL result = FALSE;
  DWORD error = 0;
  std::string name;      // the store copy the destination names; empty: none
  bool write = false;    // the source's bytes go to the store under name
};

// As Wine: a store INF with the same content is the existing copy (refused
// under SP_COPY_NOOVERWRITE, written over otherwise); a different INF of the
// same name gets the next free oem<N>.inf.
CopyOutcome NaturalCopy(const std::string& content, const std::string& sourceName, DWORD copyStyle) {
  CopyOutcome out;
  for (const std::string& name : StoredInfs()) {
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
  out.name = sourceName;
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
  if (result && scripted) DeleteFileA(path.c_str());  // a scripted failure keeps the file
  fakeruntime::Log(kLib, std::string("SetupUninstallOEMInfA name=") + Text(name) +
                             " flags=" + Number(flags) + " reserved=" + Pointer(reserved) +
                             " result=" + Number(scripted) + " error=" + Number(error));
  SetLastError(error);
  return scripted;
}

// Resolved by the program but never called: a call shows in the log.
BOOL WINAPI SetupGetInfFileListA(PCSTR directory, DWORD style, PSTR, DWORD, PDWORD) {
  BOOL result = static_cast<BOOL>(fakeruntime::ScriptedNumber(kLib, "SetupGetInfFileListA", nullptr, FALSE));
  fakeruntime::Log(kLib, std::string("SetupGetInfFileListA directory=") + Text(directory) +
                             " style=" + Number(style) + " result=" + Number(result));
  SetLastError(result ? 0 : ERROR_CALL_NOT_IMPLEMENTED);
  return result;
}
