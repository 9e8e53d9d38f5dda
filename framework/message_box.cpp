#include "framework/message_box.h"

#include "framework/win_app.h"
#include "platform/bounded_string.h"

#include <string.h>

namespace {
// The program's file name without its extension.
const char* ProgramTitle() {
  static char name[MAX_PATH];
  if (name[0] == '\0') {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return "";
    const char* base = strrchr(path, '\\');
    base = base ? base + 1 : path;
    CopyBounded(name, base);
    if (char* dot = strrchr(name, '.')) *dot = '\0';
  }
  return name;
}
}  // namespace

const char* AfxGetAppName() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pszAppName != nullptr) return app->m_pszAppName;
  return ProgramTitle();
}

int AfxMessageBox(const char* text, UINT type, UINT /*helpContext: no help file is shipped*/) {
  // No owner window: boxes are shown by the worker thread as well as by the
  // interface thread, and an owner on another thread would tie their input together.
  return MessageBoxA(nullptr, text, AfxGetAppName(), type);
}
