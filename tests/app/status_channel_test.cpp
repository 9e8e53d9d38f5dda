// The status channel: lines reported by the job reach the dialog's status
// line whole, in order and cut at 1023 characters; a line that cannot be
// posted is freed by the sender.
#include <doctest.h>

#include <malloc.h>
#include <stdlib.h>

#include "framework/wnd.h"
#include "tests/app/shell_scripts.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"
#include "worker/status_channel.h"

TEST_CASE("status lines posted in quick succession all arrive, in order, before Cancel; a long one as its first 1023 characters") {
  ProgramRun run("status_many", ScriptedProgramPath());
  PrepareScriptedRun(run, "observe\nlong 1500 x\nlines 600 Step %04d of the job\\r\\n\n");
  REQUIRE(run.Start("-u"));
  CHECK(run.Wait() == 0);
  std::vector<std::string> expected = {"text: " + std::string(1023, 'x')};
  char line[64];
  for (int i = 1; i <= 600; ++i) {
    snprintf(line, sizeof line, "text: Step %04d of the job\\r\\n", i);
    expected.push_back(line);
  }
  // The last line before the Cancel command is what the status line shows then.
  expected.push_back("cancel: Step 0600 of the job\\r\\n");
  CHECK(run.Lines(kSeenFile) == expected);
}

TEST_CASE("a line is posted whole up to 1023 characters, and as its first 1023 beyond") {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  REQUIRE(window != nullptr);
  CWnd dialog;
  dialog.m_hWnd = window;
  struct Case { size_t length; size_t posted; };
  const Case cases[] = {{1500, 1023}, {1024, 1023}, {1023, 1023}, {1022, 1022}};
  for (const Case& c : cases) {
    CAPTURE(c.length);
    CHECK(ReportStatus(&dialog, "%s", std::string(c.length, 'x').c_str()) == 1);
    CHECK(ReportStatus(&dialog, "%s %d", "end", 7) == 1);  // the next line still goes whole
    std::vector<std::string> posted;
    MSG message;
    while (PeekMessageA(&message, window, WM_STATUSTEXT, WM_STATUSTEXT, PM_REMOVE)) {
      char* text = reinterpret_cast<char*>(message.lParam);
      posted.push_back(text);
      free(text);
    }
    CHECK(posted == std::vector<std::string>{std::string(c.posted, 'x'), "end 7"});
  }
  dialog.m_hWnd = nullptr;
  DestroyWindow(window);
}

TEST_CASE("the status line reads (ready) until a line comes; a message without a string changes nothing") {
  ProgramRun run("status_ready", ScriptedProgramPath());
  PrepareScriptedRun(run, "wait go\nline First line\nwait release\n");
  REQUIRE(run.Start("-u"));
  HWND dialog = run.WaitForDialog();
  REQUIRE(dialog != nullptr);
  HWND status = GetDlgItem(dialog, IDC_STATUS_TEXT);
  CHECK(ControlText(status) == "(ready)");
  // The dialog manager's DM_SETDEFID shares the number and carries no string.
  DWORD_PTR result = 1;
  CHECK(SendMessageTimeoutA(dialog, WM_STATUSTEXT, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0);
  CHECK(result == 0);
  CHECK(SendMessageTimeoutA(dialog, DM_SETDEFID, IDC_INSTRUCTION_TEXT, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0);
  CHECK(result == 0);
  CHECK(ControlText(status) == "(ready)");
  run.Put("go", "");
  for (int i = 0; i < 500 && ControlText(status) != "First line"; ++i) Sleep(20);
  CHECK(ControlText(status) == "First line");
  CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  run.Put("release", "");
  CHECK(run.Wait() == 0);
}

namespace {
// Bytes in use on the C run-time heap, the heap that _strdup and free share.
size_t HeapBytesInUse() {
  _HEAPINFO entry = {};
  size_t used = 0;
  while (_heapwalk(&entry) == _HEAPOK)
    if (entry._useflag == _USEDENTRY) used += entry._size;
  return used;
}
}  // namespace

TEST_CASE("a line whose post fails is freed by the sender, and reports 0") {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  REQUIRE(window != nullptr);
  CWnd gone;
  gone.m_hWnd = window;
  DestroyWindow(window);  // the dialog's window is gone, its handle still in the object
  CWnd detached;          // the dialog object after its window was destroyed: no handle

  const std::string line(1000, 'x');
  // 2000 lost copies of 1 KB would stay on the heap as 2 MB.
  size_t before = HeapBytesInUse();
  int reported = 0;
  for (int i = 0; i < 1000; ++i) {
    reported += ReportStatus(&gone, "%s %d", line.c_str(), i);
    reported += ReportStatus(&detached, "%s %d", line.c_str(), i);
  }
  size_t after = HeapBytesInUse();
  CHECK(reported == 0);
  CHECK(ReportStatus(nullptr, "no context") == 0);
  CHECK(after < before + 64 * 1024);
  gone.m_hWnd = nullptr;
}
