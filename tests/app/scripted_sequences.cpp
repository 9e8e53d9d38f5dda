// Scripted sequences for the test build of the program: in place of the real
// jobs, RunInstall, RunUninstall and RunLaunch follow "scripted_sequences.txt"
// in the current directory, so that tests can drive the result, the status
// lines and the timing of a job end to end. Each call is logged to
// "sequence_calls.txt". Script commands, one a line:
//   result N        the value the sequence returns (default: RunInstall 0, the others 1)
//   line TEXT       reports TEXT as the format; \r, \n and \\ are escapes
//   lines N FORMAT  reports FORMAT N times, with the count 1..N as its argument
//   long N C        reports one line of N copies of the character C
//   observe         logs to "status_seen.txt" each text the status line shows
//                   ("text: ...") and the status text when Cancel arrives ("cancel: ...")
//   wait NAME       waits until the file NAME exists (at most two minutes)
//   probe           asks the dialog, from this thread, what a window of another
//                   process cannot ask (Wine does not pass icon and device-context
//                   handles between processes) and logs the answers to "probe.txt"
//   spam            reports lines until the process ends
//   decline         records that the user declined, as the clean-up's question does
#include "sequences/sequences.h"

#include "job/job_outcome.h"
#include "ui/resource.h"
#include "tests/support/file_bytes.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace {

std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char c = s[++i];
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string Escape(const char* s) {
  std::string out;
  for (; *s; ++s) {
    if (*s == '\r') out += "\\r";
    else if (*s == '\n') out += "\\n";
    else if (*s == '\\') out += "\\\\";
    else out += *s;
  }
  return out;
}

// The observer: watches the status control and the dialog from inside the
// program, on the interface thread, without changing what they do.
WNDPROC g_statusProc = nullptr;
WNDPROC g_dialogProc = nullptr;

LRESULT CALLBACK ObserveStatus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT && lParam != 0)
    filebytes::AppendLine("status_seen.txt", "text: " + Escape(reinterpret_cast<const char*>(lParam)));
  return CallWindowProcA(g_statusProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ObserveDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    char text[2048] = {};
    GetDlgItemTextA(hwnd, IDC_STATUS_TEXT, text, sizeof text);
    filebytes::AppendLine("status_seen.txt", "cancel: " + Escape(text));
  }
  return CallWindowProcA(g_dialogProc, hwnd, message, wParam, lParam);
}

void Observe(HWND dialog) {
  HWND status = GetDlgItem(dialog, IDC_STATUS_TEXT);
  g_statusProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ObserveStatus)));
  g_dialogProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ObserveDialog)));
}

std::string Hex(unsigned long long value) {
  char text[32];
  snprintf(text, sizeof text, "%06llX", value);
  return text;
}

// The brush's colour, or "none" when the handle is no solid brush.
std::string BrushColour(HBRUSH brush) {
  LOGBRUSH logBrush = {};
  if (brush == nullptr || GetObjectA(brush, sizeof logBrush, &logBrush) != sizeof logBrush ||
      logBrush.lbStyle != BS_SOLID)
    return "none";
  return Hex(logBrush.lbColor);
}

void Probe(HWND dialog) {
  LRESULT big = SendMessageA(dialog, WM_GETICON, ICON_BIG, 0);
  LRESULT small = SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0);
  LRESULT drag = SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
  filebytes::AppendLine("probe.txt", std::string("icons ") + (big ? "set" : "none") +
                              (small == big ? " small-same" : " small-other") +
                              (drag == big ? " drag-same" : " drag-other"));
  // Each control-colour request on a fresh device context with marker colours:
  // what the handler set on it, and the colour of the brush it returned.
  HDC dc = CreateCompatibleDC(nullptr);
  for (UINT message = WM_CTLCOLORMSGBOX; message <= WM_CTLCOLORSTATIC; ++message) {
    for (int id : {IDC_INSTRUCTION_TEXT, IDC_STATUS_TEXT, IDOK}) {
      SetTextColor(dc, RGB(0x12, 0x34, 0x56));
      SetBkColor(dc, RGB(0x65, 0x43, 0x21));
      SetBkMode(dc, TRANSPARENT);
      HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(
          dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))));
      filebytes::AppendLine("probe.txt", "ctlcolor " + std::to_string(message - WM_CTLCOLORMSGBOX) + " " +
                                  std::to_string(id) + " brush " + Hex(reinterpret_cast<uintptr_t>(brush)) + " " +
                                  BrushColour(brush) + " text " +
                                  Hex(GetTextColor(dc)) + " back " + Hex(GetBkColor(dc)) +
                                  (GetBkMode(dc) == TRANSPARENT ? " transparent" : " opaque"));
    }
  }
  DeleteDC(dc);
}

int RunScript(const char* name, int result, StatusCallback callback, void* context) {
  filebytes::AppendLine("sequence_calls.txt", name);
  std::string script;
  if (!filebytes::ReadFileBytes("scripted_sequences.txt", &script)) return result;
  for (const std::string& line : filebytes::SplitLines(script)) {
    std::string command = line.substr(0, line.find(' '));
    std::string rest = line.size() > command.size() ? line.substr(command.size() + 1) : "";
    if (command == "result") {
      result = atoi(rest.c_str());
    } else if (command == "line") {
      callback(context, Unescape(rest).c_str());
    } else if (command == "lines") {
      int count = atoi(rest.c_str());
      std::string format = Unescape(rest.substr(rest.find(' ') + 1));
      for (int i = 1; i <= count; ++i) callback(context, format.c_str(), i);
    } else if (command == "long") {
      int count = atoi(rest.c_str());
      std::string text(static_cast<size_t>(count), rest[rest.find(' ') + 1]);
      callback(context, "%s", text.c_str());
    } else if (command == "observe") {
      Observe(ContextWindow(context));
    } else if (command == "probe") {
      Probe(ContextWindow(context));
    } else if (command == "wait") {
      for (int i = 0; i < 6000 && GetFileAttributesA(rest.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(20);
    } else if (command == "decline") {
      RecordUserCancel();
    } else if (command == "spam") {
      for (unsigned i = 0;; ++i) {
        callback(context, "working %u\r\n", i);
        Sleep(1);
      }
    }
  }
  return result;
}

}  // namespace

int RunInstall(StatusCallback callback, void* context) {
  return RunScript("RunInstall", 0, callback, context);
}

int RunUninstall(StatusCallback callback, void* context) {
  return RunScript("RunUninstall", 1, callback, context);
}

int RunLaunch(StatusCallback callback, void* context) {
  return RunScript("RunLaunch", 1, callback, context);
}
