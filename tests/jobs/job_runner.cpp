// job_runner.exe: runs one of the three jobs inside this process, in the
// current folder, beside the fake system libraries, and writes a transcript
// into the fakes' call log: every status line and every message box, placed
// among the fakes' own calls in the order in which they happened.
//
//   job_runner install|uninstall|launch <wow64 0|1> <windows7 0|1> [ok|cancel ...]
//
// The probes come from the link seams; the answers are given to the boxes in
// order. The exit code is the job's result; an install also notes the exit
// code the program would end with ("job exitcode text=..."). Started without
// arguments (copied in as the accelerator's front end), it notes its start in
// "frontend.log".
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "job/job_outcome.h"
#include "framework/wnd.h"
#include "sequences/sequences.h"
#include "tests/fakes/fake_files.h"
#include "tests/seams/scripted_probes.h"
#include "tests/support/window_driver.h"

namespace {

void Transcribe(const std::string& event) { filebytes::AppendLine("fake_calls.log", "job " + event); }

int __cdecl TranscribeStatus(void*, const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  Transcribe("status text=" + fakefiles::Text(line));
  return 1;
}

void RecordBox(const SeenBox& box) {
  Transcribe("box text=" + fakefiles::Text(box.text.c_str()) +
             " buttons=" + fakefiles::Text(box.hasCancel ? "okcancel" : "ok"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    filebytes::AppendLine("frontend.log", std::string("started ") + GetCommandLineA());
    return 0;
  }
  if (argc < 4) return 99;
  g_scriptedIsWow64 = atoi(argv[2]);
  g_scriptedIsWindows7 = atoi(argv[3]);
  std::vector<int> answers;
  for (int i = 4; i < argc; ++i) answers.push_back(strcmp(argv[i], "ok") == 0 ? IDOK : IDCANCEL);

  BoxAnswerer answerer("job_runner", answers, GetCurrentProcessId(), RecordBox);
  CWnd noDialog;  // the jobs run without a progress dialog here: no owner window
  int result = 98;
  if (strcmp(argv[1], "install") == 0) {
    result = RunInstall(TranscribeStatus, &noDialog);
    Transcribe("exitcode text=" + fakefiles::Text(std::to_string(InstallExitCode(result)).c_str()));
  }
  if (strcmp(argv[1], "uninstall") == 0) result = RunUninstall(TranscribeStatus, &noDialog);
  if (strcmp(argv[1], "launch") == 0) result = RunLaunch(TranscribeStatus, &noDialog);
  answerer.Stop();
  return result;
}
