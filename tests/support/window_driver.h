// Driving windows from the Windows side: find a process's top-level windows,
// read their controls, answer message boxes. Works across processes under Wine.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A visible top-level window of process pid (0: any) with the given class and
// caption (null: any) and, unless controlId is 0, a control of that id.
// Returns null when none is there (Find) or none came in time (WaitFor).
HWND FindTopWindow(DWORD pid, const char* className, const char* caption, int controlId = 0);
HWND WaitForTopWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs);

std::string WindowText(HWND hwnd);
std::string ItemText(HWND dialog, int id);
// The text as the window itself reports it (WM_GETTEXT). For an edit control of
// another process this is the only way to its text: GetWindowText does not ask it.
std::string ControlText(HWND window);

// A key press as the keyboard would deliver it: WM_KEYDOWN and WM_KEYUP posted
// to the window that has the focus in the thread of `window` (or to `window`).
void PostKey(HWND window, UINT virtualKey);

// What a message box showed.
struct SeenBox {
  std::string caption;
  std::string text;
  bool hasOk = false, hasCancel = false, hasYes = false, hasNo = false;
  bool hasIcon = false;
  HICON icon = nullptr;  // the icon shown (shared system icons compare by handle in-process)
};

SeenBox ReadMessageBox(HWND box);

// A thread that answers message boxes with the given caption shown by process
// pid, one answer (IDOK, IDCANCEL, ...) per box, in order, and records what each
// showed. Boxes past the list are answered IDCANCEL and recorded too.
// Stop() (or the destructor) ends the thread; Seen() is read after Stop().
class BoxAnswerer {
 public:
  // onBox, when given, is called on the answering thread with each box before
  // it is answered (the code under test still waits in it then).
  BoxAnswerer(const std::string& caption, std::vector<int> answers,
              DWORD pid = GetCurrentProcessId(), void (*onBox)(const SeenBox&) = nullptr);
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  void Stop();
  const std::vector<SeenBox>& Seen() const { return seen_; }

 private:
  static DWORD WINAPI Run(void* self);
  std::string caption_;
  std::vector<int> answers_;
  DWORD pid_;
  void (*onBox_)(const SeenBox&);
  std::vector<SeenBox> seen_;
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
};
