// The progress dialog as a user sees it, read from outside the program: its
// caption, status line, instruction text, icons, colours and Close button.
#include <doctest.h>

#include "tests/app/shell_scripts.h"
#include "tests/support/window_driver.h"
#include "ui/resource.h"

namespace {

// A run of the scripted program that keeps its dialog open until released,
// with the shipped instruction texts beside it.
HWND StartHeldDialog(ProgramRun& run, const std::string& arguments, const std::string& script) {
  std::string dist = BinPath("dist");
  for (const char* text : {kInstallTextFile, kUninstallTextFile})
    CopyFileTo(JoinPath(dist, text), run.PathOf(text));
  run.Put(kScriptFile, script);
  return run.Start(arguments) ? run.WaitForDialog() : nullptr;
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

}  // namespace

TEST_CASE("the install dialog shows its caption, (ready), the shipped text in black on white and a disabled Close") {
  ProgramRun run("dialog_install", ScriptedProgramPath());
  HWND dialog = StartHeldDialog(run, "-i", "wait release\n");
  REQUIRE(dialog != nullptr);
  std::string shipped;
  REQUIRE(run.Read(kInstallTextFile, &shipped));
  REQUIRE(shipped.find("\r\n") != std::string::npos);

  CHECK(WindowText(dialog) == kDialogCaption);
  CHECK(ControlText(GetDlgItem(dialog, IDC_STATUS_TEXT)) == "(ready)");
  CHECK(ControlText(GetDlgItem(dialog, IDC_INSTRUCTION_TEXT)) == shipped);  // line breaks kept
  CHECK(ControlText(GetDlgItem(dialog, IDOK)) == "Close");
  CHECK_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));

  // The text area is black on white; the status line keeps the dialog's colours.
  HWND text = GetDlgItem(dialog, IDC_INSTRUCTION_TEXT);
  HWND status = GetDlgItem(dialog, IDC_STATUS_TEXT);
  Sleep(300);  // let the dialog paint
  RECT area, line;
  GetWindowRect(text, &area);
  GetWindowRect(status, &line);
  CHECK(ScreenPixel(area.right - 3, area.bottom - 3) == RGB(255, 255, 255));
  CHECK(ScreenPixel(line.right - 3, line.bottom - 2) == GetSysColor(COLOR_BTNFACE));
  int blackPixels = 0;
  for (int y = area.top; y < area.top + 14; ++y)
    for (int x = area.left; x < area.left + 200; ++x)
      if (ScreenPixel(x, y) == RGB(0, 0, 0)) ++blackPixels;
  CHECK(blackPixels > 20);  // the first line of text, in black

  run.Put("release", "");
  CHECK(run.Wait() == 1603);  // the scripted install reports failure by default
}

// Wine does not pass icon and device-context handles between processes, so the
// scripted job asks these from inside the program, on its own thread, and logs
// what the dialog answered.
TEST_CASE("one icon serves as big, small and drag icon; only the text area gets the white brush, black text on white, for its four request types") {
  ProgramRun run("dialog_probe", ScriptedProgramPath());
  StartHeldDialog(run, "-u", "probe\n");
  CHECK(run.Wait() == 0);
  std::vector<std::string> probe = run.Lines("probe.txt");
  REQUIRE(probe.size() == 1 + 7 * 3);
  CHECK(probe[0] == "icons set small-same drag-same");
  // "ctlcolor TYPE ID brush HANDLE COLOUR text COLOUR back COLOUR MODE"
  struct Answer { int type; int id; std::string handle, colour, text, back, mode; };
  std::vector<Answer> answers;
  for (size_t i = 1; i < probe.size(); ++i) {
    char handle[32], colour[16], text[16], back[16], mode[16];
    Answer a;
    REQUIRE(sscanf(probe[i].c_str(), "ctlcolor %d %d brush %31s %15s text %15s back %15s %15s",
                   &a.type, &a.id, handle, colour, text, back, mode) == 7);
    a.handle = handle, a.colour = colour, a.text = text, a.back = back, a.mode = mode;
    answers.push_back(a);
  }
  std::string white;
  for (const Answer& a : answers)
    if (a.type == CTLCOLOR_STATIC && a.id == IDC_INSTRUCTION_TEXT) white = a.handle;
  for (const Answer& a : answers) {
    CAPTURE(a.type);
    CAPTURE(a.id);
    bool textAreaType = a.type == CTLCOLOR_MSGBOX || a.type == CTLCOLOR_EDIT ||
                        a.type == CTLCOLOR_BTN || a.type == CTLCOLOR_STATIC;
    if (textAreaType && a.id == IDC_INSTRUCTION_TEXT) {
      CHECK(a.handle == white);
      CHECK(a.colour == "FFFFFF");
      CHECK(a.text == "000000");
      CHECK(a.back == "FFFFFF");
    } else {
      CHECK(a.handle != white);
    }
    CHECK(a.mode == "transparent");  // the background mode is never changed
  }
}
