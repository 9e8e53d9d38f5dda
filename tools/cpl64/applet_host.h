// Hosting a control-panel file's main applet the way the platform's control
// panel does for a file named without an applet: CPlApplet receives CPL_INIT,
// CPL_GETCOUNT, CPL_INQUIRE for each applet, CPL_DBLCLK for applet 0, then
// CPL_STOP for each applet and CPL_EXIT, and the file is released.
#pragma once
#include <windows.h>
#include <string>

enum class HostResult {
  kShown,        // the applet ran and its windows have closed
  kNotFound,     // no such file
  kNotLoadable,  // the file is no loadable library (*error holds the code)
  kNoEntry,      // no CPlApplet entry point
  kInitFailed,   // CPL_INIT returned 0; nothing more was sent
  kNoApplets,    // CPL_GETCOUNT gave no usable number of applets
};

// Runs applet 0 of the file at path; host is the window passed to every call
// (the control panel's own window). Returns after the applet's last window on
// this thread has closed.
HostResult ShowMainApplet(const std::string& path, HWND host, DWORD* error);
