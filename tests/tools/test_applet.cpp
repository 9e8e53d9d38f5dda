// test_applet.cpl: a control-panel file for tests. It shows a small dialog,
// captioned "Halvoran Test Applet", for the applet that CPL_DBLCLK names, and
// records every message it receives. Copies of it can stand in for the system's
// panels (modem.cpl, telephon.cpl) to test the routes that open them.
//
// Record: "test_applet.log" in the current directory, one line per event,
// "<file name of this copy> <event>", appended as they happen:
//   CPL_INIT | CPL_GETCOUNT | CPL_INQUIRE <applet> | CPL_NEWINQUIRE <applet>
//   CPL_DBLCLK <applet> 0x<lData> hwnd=set|null | CPL_STOP <applet> 0x<lData>
//   CPL_EXIT | message <number> <lParam1> | closed <applet> ok|cancel
//   dialog failed <error> | unloaded (the host called FreeLibrary)
// Control: optional "test_applet.ini" in the current directory, "key=value" lines:
//   init=fail        CPL_INIT returns 0
//   count=<n>        CPL_GETCOUNT returns n (default 1)
//   modeless=1       CPL_DBLCLK opens the dialog modeless and returns at once
//   autoclose_ms=<n> the dialog closes itself with OK after n milliseconds
//   append_file=<path> and append_line=<text>
//                    when the dialog closes with OK, text and "\n" are appended
//                    to that file (for example a device that the user "added")
#include "tests/tools/test_applet.h"
#include "tests/support/file_bytes.h"

#include <windows.h>
#include <cpl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

HINSTANCE g_instance;

struct Settings {
  bool failInit = false;
  long count = 1;
  bool modeless = false;
  UINT autoCloseMs = 0;
  char appendFile[MAX_PATH] = "";
  char appendLine[512] = "";
};

void CopyText(char* dst, size_t capacity, const char* src) {
  snprintf(dst, capacity, "%s", src);
}

Settings ReadSettings() {
  Settings s;
  FILE* f = fopen("test_applet.ini", "r");
  if (!f) return s;
  char line[1024];
  while (fgets(line, sizeof line, f)) {
    line[strcspn(line, "\r\n")] = '\0';
    char* eq = strchr(line, '=');
    if (!eq) continue;
    *eq = '\0';
    const char* key = line;
    const char* value = eq + 1;
    if (strcmp(key, "init") == 0) s.failInit = strcmp(value, "fail") == 0;
    else if (strcmp(key, "count") == 0) s.count = strtol(value, nullptr, 10);
    else if (strcmp(key, "modeless") == 0) s.modeless = strcmp(value, "1") == 0;
    else if (strcmp(key, "autoclose_ms") == 0) s.autoCloseMs = strtoul(value, nullptr, 10);
    else if (strcmp(key, "append_file") == 0) CopyText(s.appendFile, sizeof s.appendFile, value);
    else if (strcmp(key, "append_line") == 0) CopyText(s.appendLine, sizeof s.appendLine, value);
  }
  fclose(f);
  return s;
}

void Record(const char* format, ...) {
  char event[512];
  va_list args;
  va_start(args, format);
  vsnprintf(event, sizeof event, format, args);
  va_end(args);
  const std::string path = filebytes::ModulePath(g_instance);
  filebytes::AppendLine("test_applet.log", path.substr(path.find_last_of('\\') + 1) + " " + event);
}

void AppendConfiguredLine(const Settings& s) {
  if (s.appendFile[0]) filebytes::AppendLine(s.appendFile, s.appendLine);
}

struct DialogState {
  int applet;
  bool modeless;
  Settings settings;
};

void CloseApplet(HWND dialog, DialogState* state, int id) {
  Record("closed %d %s", state->applet, id == IDOK ? "ok" : "cancel");
  if (id == IDOK) AppendConfiguredLine(state->settings);
  if (state->modeless) {
    DestroyWindow(dialog);
  } else {
    EndDialog(dialog, id);
  }
}

INT_PTR CALLBACK AppletDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<DialogState*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      char text[64];
      snprintf(text, sizeof text, "Applet %d", state->applet);
      SetDlgItemTextA(dialog, IDC_APPLET_TEXT, text);
      if (state->settings.autoCloseMs) SetTimer(dialog, 1, state->settings.autoCloseMs, nullptr);
      return TRUE;
    }
    case WM_TIMER:
      KillTimer(dialog, 1);
      CloseApplet(dialog, state, IDOK);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        CloseApplet(dialog, state, LOWORD(wParam));
        return TRUE;
      }
      break;
    case WM_NCDESTROY:
      if (state && state->modeless) delete state;
      break;
  }
  return FALSE;
}

LONG ShowApplet(HWND owner, int applet, const Settings& settings) {
  auto* state = new DialogState{applet, settings.modeless, settings};
  if (settings.modeless) {
    HWND dialog = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_TEST_APPLET), owner,
                                     AppletDialog, reinterpret_cast<LPARAM>(state));
    if (!dialog) {
      Record("dialog failed %lu", GetLastError());
      delete state;
    }
    return dialog ? 0 : 1;
  }
  INT_PTR result = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_TEST_APPLET), owner,
                                   AppletDialog, reinterpret_cast<LPARAM>(state));
  if (result == -1) Record("dialog failed %lu", GetLastError());
  delete state;
  return result == -1 ? 1 : 0;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
  // A null reserved argument means FreeLibrary, not the end of the process.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) Record("unloaded");
  return TRUE;
}

extern "C" LONG CALLBACK CPlApplet(HWND hwnd, UINT message, LPARAM lParam1, LPARAM lParam2) {
  Settings settings = ReadSettings();
  int applet = static_cast<int>(lParam1);
  switch (message) {
    case CPL_INIT:
      Record("CPL_INIT");
      return settings.failInit ? 0 : 1;
    case CPL_GETCOUNT:
      Record("CPL_GETCOUNT");
      return settings.count;
    case CPL_INQUIRE: {
      Record("CPL_INQUIRE %d", applet);
      auto* info = reinterpret_cast<CPLINFO*>(lParam2);
      info->idIcon = IDI_TEST_APPLET;
      info->idName = IDS_APPLET_NAME;
      info->idInfo = IDS_APPLET_INFO;
      info->lData = TEST_APPLET_DATA_BASE + applet;
      return 0;
    }
    case CPL_NEWINQUIRE:
      Record("CPL_NEWINQUIRE %d", applet);
      return 1;  // not handled: CPL_INQUIRE's answer stands
    case CPL_DBLCLK:
      Record("CPL_DBLCLK %d 0x%lx hwnd=%s", applet, static_cast<long>(lParam2),
             hwnd ? "set" : "null");
      if (applet < 0 || applet >= settings.count) return 1;
      return ShowApplet(hwnd, applet, settings);
    case CPL_STOP:
      Record("CPL_STOP %d 0x%lx", applet, static_cast<long>(lParam2));
      return 0;
    case CPL_EXIT:
      Record("CPL_EXIT");
      return 0;
    default:
      Record("message %u %ld", message, static_cast<long>(lParam1));
      return 0;
  }
}
