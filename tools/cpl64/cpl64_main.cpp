// CPL64.exe <path of a control-panel file>
//
// Shows the file's main applet as a native 64-bit process and ends when the
// user closes it. The path may contain blanks unquoted: the whole rest of the
// command line is the path. Bad arguments end it with a message box.
// Exit codes: 0 shown and closed, 1 no file named, 2 file missing or not
// loadable, 3 no CPlApplet entry, 4 the applet failed CPL_INIT, 5 no applets.
#include "tools/cpl64/applet_host.h"
#include "tools/cpl64/command_line.h"

#include <windows.h>
#include <stdio.h>
#include <string>

namespace {

constexpr char kCaption[] = "CPL64";

int Refuse(int exitCode, const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  return exitCode;
}

// The control panel's own window, which applets take as the owner of their
// dialogs. It stays hidden.
HWND CreateHostWindow(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "CPL64Host";
  RegisterClassA(&wc);
  return CreateWindowExA(0, wc.lpszClassName, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                         nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // A file that is no valid image must not raise the system's own error box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

  std::string path = AppletPathFromCommandLine(GetCommandLineA());
  if (path.empty())
    return Refuse(1, "Usage: CPL64.exe <control-panel file>\n\nNo control-panel file was named.");

  HWND host = CreateHostWindow(instance);
  DWORD error = 0;
  HostResult result = ShowMainApplet(path, host, &error);
  if (host) DestroyWindow(host);

  char code[32];
  snprintf(code, sizeof code, "%lu", error);
  switch (result) {
    case HostResult::kShown:
      return 0;
    case HostResult::kNotFound:
      return Refuse(2, "The control-panel file was not found:\n" + path);
    case HostResult::kNotLoadable:
      return Refuse(2, "The control-panel file could not be loaded (error " + std::string(code) +
                           "):\n" + path);
    case HostResult::kNoEntry:
      return Refuse(3, "The file is not a control-panel file (it has no CPlApplet entry):\n" + path);
    case HostResult::kInitFailed:
      return Refuse(4, "The control-panel file failed to start (CPL_INIT):\n" + path);
    case HostResult::kNoApplets:
      return Refuse(5, "The control-panel file offers no applet to show:\n" + path);
  }
  return Refuse(2, "Unexpected result.");
}
