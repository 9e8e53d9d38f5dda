#include "tests/installer/canary_link.h"

#include <windows.h>

#include "tests/support/process.h"

namespace {

const char kCanaryText[] = "canary";

std::string TargetFolder() { return JoinPath(SelfDir(), "msi_link_target"); }
std::string Canary() { return JoinPath(TargetFolder(), "canary.txt"); }

bool IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Wine's own name of a Windows path on the Unix side.
std::string UnixPath(const std::string& path) {
  typedef char*(CDECL * UnixFileName)(const WCHAR*);
  const UnixFileName toUnix = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  WCHAR wide[MAX_PATH] = {};
  if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return "";
  char* unix = toUnix(wide);
  std::string result = unix ? unix : "";
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// Runs a Unix program; Wine gives no exit code of one, so the caller polls for
// its effect: true once linked(path) is as wanted, within ten seconds.
bool RunUnixUntil(const std::string& program, const std::string& arguments,
                  const std::string& path, bool linked) {
  ChildProcess unix;
  if (!unix.Start("Z:\\bin\\" + program, program + " " + arguments, "")) return false;
  for (int i = 0; i < 200; ++i, Sleep(50))
    if (IsLink(path) == linked) return true;
  return false;
}

bool RemoveLink(const std::string& path) {
  return !IsLink(path) || RunUnixUntil("rm", "-f " + QuoteArgument(UnixPath(path)), path, false);
}

}  // namespace

CanaryLink::CanaryLink(const std::string& folder) : link_(JoinPath(folder, "tmp.txt")) {
  RemoveFrom(folder);
  CreateDirectoryA(TargetFolder().c_str(), nullptr);
  DeleteFileA(Canary().c_str());
  made_ = FolderEntries(TargetFolder()).empty() && WriteWholeFile(Canary(), kCanaryText) &&
          RunUnixUntil("ln",
                       "-s " + QuoteArgument(UnixPath(TargetFolder())) + " " +
                           QuoteArgument(UnixPath(link_)),
                       link_, true);
}

CanaryLink::~CanaryLink() { RemoveLink(link_); }

bool CanaryLink::Intact() const {
  return IsLink(link_) && FolderEntries(TargetFolder()) == std::set<std::string>{"canary.txt"} &&
         FileText(Canary()) == kCanaryText;
}

void CanaryLink::RemoveFrom(const std::string& folder) { RemoveLink(JoinPath(folder, "tmp.txt")); }
