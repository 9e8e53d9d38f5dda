// The floor of the timing benchmarks: the least a Win32 program does to show
// one dialog from a template, built with the program's own tool-chain and flags.
//   floor_dialog.exe             shows the dialog until it is closed
//   floor_dialog.exe close       closes it as soon as it runs its message loop
//   floor_dialog.exe status N    a second thread posts N heap copies of a line,
//                                the dialog shows and frees each, and
//                                floor_status.txt tells how many came, in order, how fast
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const UINT kLineMessage = WM_APP;      // lParam: a heap copy of one line
const UINT kWarmedMessage = WM_APP + 1;
const UINT kDoneMessage = WM_APP + 2;
const int kWarmLines = 100;

HWND g_dialog;
int g_lines;
int g_next, g_outOfOrder, g_lost;
HANDLE g_warmed;
LARGE_INTEGER g_start, g_lastArrival;

bool Post(const char* format, int n) {
  char line[1024];
  _snprintf(line, sizeof line, format, n);
  line[sizeof line - 1] = '\0';
  char* copy = _strdup(line);
  if (copy != nullptr && PostMessageA(g_dialog, kLineMessage, 0, reinterpret_cast<LPARAM>(copy))) return true;
  free(copy);
  return false;
}

DWORD WINAPI PostLines(void*) {
  for (int i = 0; i < kWarmLines; ++i) Post("Warm-up line %d of the benchmark\r\n", i);
  PostMessageA(g_dialog, kWarmedMessage, 0, 0);
  WaitForSingleObject(g_warmed, 60000);
  QueryPerformanceCounter(&g_start);
  for (int i = 0; i < g_lines; ++i)
    if (!Post("Status line %05d of the benchmark\r\n", i)) ++g_lost;
  PostMessageA(g_dialog, kDoneMessage, 0, 0);
  return 0;
}

// The C run-time's own formatting only (mingw's printf family would triple the
// floor's code, which is also the size benchmark's floor).
void WriteResult() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  char text[256];
  int length = _snprintf(text, sizeof text, "arrived %d\nout_of_order %d\nlost %d\nseconds %.6f\n", g_next,
                         g_outOfOrder, g_lost,
                         static_cast<double>(g_lastArrival.QuadPart - g_start.QuadPart) / frequency.QuadPart);
  if (FILE* f = fopen("floor_status.txt", "wb")) {
    if (length > 0) fwrite(text, 1, static_cast<size_t>(length), f);
    fclose(f);
  }
}

INT_PTR CALLBACK FloorProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_dialog = dialog;
      if (g_lines > 0) {
        g_warmed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (HANDLE thread = CreateThread(nullptr, 0, PostLines, nullptr, 0, nullptr)) CloseHandle(thread);
      } else if (g_lines < 0) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      }
      return TRUE;
    case kLineMessage: {
      char* line = reinterpret_cast<char*>(lParam);
      SetDlgItemTextA(dialog, 1000, line);
      if (strncmp(line, "Status line ", 12) == 0) {
        int n = atoi(line + 12);
        if (n != g_next) ++g_outOfOrder;
        g_next = n + 1;
        QueryPerformanceCounter(&g_lastArrival);
      }
      free(line);
      return TRUE;
    }
    case kWarmedMessage:
      SetEvent(g_warmed);
      return TRUE;
    case kDoneMessage:
      WriteResult();
      EndDialog(dialog, IDOK);
      return TRUE;
    case WM_COMMAND:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

// Built with the program's own resources, the floor shows the program's dialog
// template 102 (its pictures, icon, text area and status line) instead of its own.
#if !defined(FLOOR_TEMPLATE)
#define FLOOR_TEMPLATE 1
#endif

#if defined(FLOOR_IMPORTS_SHELL32)
// The floor with the one import of the program that the floor lacks: the
// shell's folder look-up, which the program links for its clean-up step.
#include <shlobj.h>
void* volatile g_keepShellImport = reinterpret_cast<void*>(&SHGetFolderPathW);
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  if (strncmp(commandLine, "close", 5) == 0) g_lines = -1;
  if (strncmp(commandLine, "status ", 7) == 0) g_lines = atoi(commandLine + 7);
  DialogBoxParamA(instance, MAKEINTRESOURCEA(FLOOR_TEMPLATE), nullptr, FloorProc, 0);
  return 0;
}
