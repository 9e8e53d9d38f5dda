#include "tools/cpl64/applet_host.h"

#include <cpl.h>
#include <vector>

#include "platform/scoped_handles.h"

namespace {

// More applets than any control-panel file holds: a count above this is
// treated as garbage rather than trusted for allocation.
constexpr LONG kMaxApplets = 256;

struct VisibleWindowSearch {
  HWND host;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<VisibleWindowSearch*>(param);
  if (hwnd == search->host || !IsWindowVisible(hwnd)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// An applet may answer CPL_DBLCLK with a modeless window and return at once; the
// applet is only closed once no window of it is left on this thread.
void WaitForAppletWindows(HWND host) {
  for (;;) {
    VisibleWindowSearch search = {host, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      if (IsDialogMessageA(search.found, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
}

std::string FullPath(const std::string& path) {
  DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::vector<char> full(needed + 1, '\0');
  DWORD got = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  return got == 0 || got >= full.size() ? path : std::string(full.data());
}

}  // namespace

HostResult ShowMainApplet(const std::string& path, HWND host, DWORD* error) {
  *error = 0;
  // The named file itself, never a library of the same name on the search path.
  std::string full = FullPath(path);
  DWORD attributes = GetFileAttributesA(full.c_str());
  if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return HostResult::kNotFound;
  }
  ScopedModule module(LoadLibraryExA(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) {
    *error = GetLastError();
    return HostResult::kNotLoadable;
  }
  auto applet = reinterpret_cast<APPLET_PROC>(
      reinterpret_cast<void*>(GetProcAddress(module.Get(), "CPlApplet")));
  if (!applet) return HostResult::kNoEntry;

  if (applet(host, CPL_INIT, 0, 0) == 0) return HostResult::kInitFailed;
  LONG count = applet(host, CPL_GETCOUNT, 0, 0);
  if (count < 1 || count > kMaxApplets) {
    applet(host, CPL_EXIT, 0, 0);
    return HostResult::kNoApplets;
  }
  std::vector<CPLINFO> info(static_cast<size_t>(count));
  for (LONG i = 0; i < count; ++i)
    applet(host, CPL_INQUIRE, i, reinterpret_cast<LPARAM>(&info[static_cast<size_t>(i)]));

  applet(host, CPL_DBLCLK, 0, info[0].lData);
  WaitForAppletWindows(host);

  for (LONG i = 0; i < count; ++i) applet(host, CPL_STOP, i, info[static_cast<size_t>(i)].lData);
  applet(host, CPL_EXIT, 0, 0);
  return HostResult::kShown;
}
