#include "tests/support/window_driver.h"

namespace {

struct FindRequest {
  DWORD pid;
  const char* className;
  const char* caption;
  int controlId;
  HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND hwnd, LPARAM param) {
  auto* req = reinterpret_cast<FindRequest*>(param);
  if (!IsWindowVisible(hwnd)) return TRUE;
  if (req->pid) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != req->pid) return TRUE;
  }
  char buf[512];
  if (req->className) {
    GetClassNameA(hwnd, buf, sizeof buf);
    if (lstrcmpA(buf, req->className) != 0) return TRUE;
  }
  if (req->caption) {
    GetWindowTextA(hwnd, buf, sizeof buf);
    if (lstrcmpA(buf, req->caption) != 0) return TRUE;
  }
  if (req->controlId && GetDlgItem(hwnd, req->controlId) == nullptr) return TRUE;
  req->found = hwnd;
  return FALSE;
}

}  // namespace

HWND FindTopWindow(DWORD pid, const char* className, const char* caption, int controlId) {
  FindRequest req = {pid, className, caption, controlId, nullptr};
  EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&req));
  return req.found;
}

HWND WaitForTopWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND h = FindTopWindow(pid, className, caption)) return h;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(20);
  }
}

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthA(hwnd);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n) + 1, '\0');
  int got = GetWindowTextA(hwnd, &text[0], n + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? WindowText(item) : std::string();
}

std::string ControlText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
    return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_ABORTIFHUNG, 5000, &got))
    return std::string();
  text.resize(got < text.size() ? static_cast<size_t>(got) : text.size() - 1);
  return text;
}

void PostKey(HWND window, UINT virtualKey) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus)
    target = info.hwndFocus;
  UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

SeenBox ReadMessageBox(HWND box) {
  SeenBox seen;
  seen.caption = WindowText(box);
  seen.hasOk = GetDlgItem(box, IDOK) != nullptr && IsWindowVisible(GetDlgItem(box, IDOK));
  seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr && IsWindowVisible(GetDlgItem(box, IDCANCEL));
  seen.hasYes = GetDlgItem(box, IDYES) != nullptr && IsWindowVisible(GetDlgItem(box, IDYES));
  seen.hasNo = GetDlgItem(box, IDNO) != nullptr && IsWindowVisible(GetDlgItem(box, IDNO));
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0 || !IsWindowVisible(child)) continue;
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
      seen.hasIcon = true;
      seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else {
      std::string text = WindowText(child);
      if (text.size() > seen.text.size()) seen.text = text;
    }
  }
  return seen;
}

BoxAnswerer::BoxAnswerer(const std::string& caption, std::vector<int> answers, DWORD pid,
                         void (*onBox)(const SeenBox&))
    : caption_(caption), answers_(std::move(answers)), pid_(pid), onBox_(onBox) {
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

BoxAnswerer::~BoxAnswerer() {
  Stop();
  CloseHandle(stop_);
}

void BoxAnswerer::Stop() {
  if (!thread_) return;
  SetEvent(stop_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

DWORD WINAPI BoxAnswerer::Run(void* param) {
  auto* self = static_cast<BoxAnswerer*>(param);
  HWND last = nullptr;
  while (WaitForSingleObject(self->stop_, 20) == WAIT_TIMEOUT) {
    HWND box = FindTopWindow(self->pid_, "#32770", self->caption_.c_str());
    if (!box || box == last) {
      if (!box) last = nullptr;
      continue;
    }
    Sleep(50);  // let the box finish laying itself out
    self->seen_.push_back(ReadMessageBox(box));
    if (self->onBox_) self->onBox_(self->seen_.back());
    size_t i = self->seen_.size() - 1;
    int answer = i < self->answers_.size() ? self->answers_[i] : IDCANCEL;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    last = box;
    // Wait until that box is gone before looking for the next one.
    for (int k = 0; k < 250 && IsWindow(box) && IsWindowVisible(box); ++k) Sleep(20);
  }
  return 0;
}
