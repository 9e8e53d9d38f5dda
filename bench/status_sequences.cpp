// The status-channel benchmark as the job of a variant of the program (never
// shipped): with -u the job reports 10,000 lines through the program's own
// ReportStatus; a hook on the dialog's status line counts them where the dialog
// shows them, checks their order and notes when the last one arrived. The
// process's handle, GDI-object and heap counts are taken before and after.
// Results go to status_result.txt in the current directory.
#include "sequences/sequences.h"

#include <stdio.h>
#include <string.h>

#include "bench/process_counts.h"

namespace {

const int kLines = 10000;
const int kWarmLines = 100;

WNDPROC g_statusProc;
int g_next, g_outOfOrder;  // written on the interface thread only
LARGE_INTEGER g_lastArrival;
HANDLE g_warmed, g_done;

LRESULT CALLBACK CountStatus(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT && lParam != 0) {
    const char* text = reinterpret_cast<const char*>(lParam);
    int n = 0;
    if (sscanf(text, "Status line %d", &n) == 1) {
      if (n != g_next) ++g_outOfOrder;
      g_next = n + 1;
      QueryPerformanceCounter(&g_lastArrival);
    } else if (strcmp(text, "warmed") == 0) {
      SetEvent(g_warmed);
    } else if (strcmp(text, "done") == 0) {
      SetEvent(g_done);
    }
  }
  return CallWindowProcA(g_statusProc, window, message, wParam, lParam);
}

void Write(FILE* f, const char* when, const ProcessCounts& c) {
  fprintf(f, "%s %ld %ld %zu %zu\n", when, c.handles, c.gdiObjects, c.heapBytes, c.heapBlocks);
}

}  // namespace

int RunUninstall(StatusCallback callback, void* context) {
  HWND status = GetDlgItem(ContextWindow(context), 1000);
  g_warmed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g_done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g_statusProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountStatus)));

  // The first lines grow what a status line needs once; they are not counted.
  for (int i = 0; i < kWarmLines; ++i) callback(context, "Warm-up line %d of the benchmark\r\n", i);
  callback(context, "warmed");
  WaitForSingleObject(g_warmed, 60000);
  // Both counts follow a full paint of the dialog, so that a paint still pending
  // on either side does not count; the first paint is done before the counting starts.
  RedrawWindow(ContextWindow(context), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);

  ProcessCounts before = CountProcess();
  LARGE_INTEGER start, frequency;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int lost = 0;
  for (int i = 0; i < kLines; ++i)
    if (!callback(context, "Status line %05d of the benchmark\r\n", i)) ++lost;
  callback(context, "done");
  WaitForSingleObject(g_done, 60000);
  RedrawWindow(ContextWindow(context), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ProcessCounts after = CountProcess();
  // Once more half a second later: what the platform holds only for a moment is gone then.
  Sleep(500);
  RedrawWindow(ContextWindow(context), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ProcessCounts settled = CountProcess();

  if (FILE* f = fopen("status_result.txt", "w")) {
    fprintf(f, "arrived %d\nout_of_order %d\nlost %d\nseconds %.6f\n", g_next, g_outOfOrder, lost,
            static_cast<double>(g_lastArrival.QuadPart - start.QuadPart) / frequency.QuadPart);
    Write(f, "before", before);
    Write(f, "after", after);
    Write(f, "settled", settled);
    fclose(f);
  }
  CloseHandle(g_warmed);
  CloseHandle(g_done);
  return 1;
}

int RunInstall(StatusCallback, void*) { return 0; }
int RunLaunch(StatusCallback, void*) { return 1; }
