// Runs the timing benchmarks under Wine, each subject beside its floor in the
// same round, in alternating order, and writes one line per measurement:
//   <figure> <subject> <value per round...>
// Everything runs in fresh folders below <this program's folder>\work.
//   bench_driver.exe <rounds> <result file>
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/system_file.h"

namespace {

std::string g_self;  // this program's folder: <x86_64 build>\bench

std::string Path(const std::string& relative) { return g_self + "\\" + relative; }

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Copy(const std::string& from, const std::string& dir, const std::string& name) {
  bool ok = CopyFileTo(from, JoinPath(dir, name));
  if (!ok) fprintf(stderr, "bench: cannot copy %s\n", from.c_str());
  return ok;
}

std::map<std::string, std::string> ReadPairs(const std::string& path) {
  std::map<std::string, std::string> pairs;
  if (FILE* f = fopen(path.c_str(), "r")) {
    char key[64], rest[256];
    while (fscanf(f, "%63s %255[^\n]", key, rest) == 2) pairs[key] = rest;
    fclose(f);
  }
  return pairs;
}

struct Process {
  PROCESS_INFORMATION pi = {};
  double started = 0;
  bool Start(const std::string& dir, const std::string& program, const std::string& arguments) {
    std::string line = "\"" + dir + "\\" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    started = Now();
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi) != 0;
  }
  // Milliseconds from the start to the end, or -1 after 60 s (the process is then ended).
  double WaitForExit() {
    double ms = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0 ? Now() - started : -1;
    if (ms < 0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return ms;
  }
};

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char className[16] = {};
  if (pid != search->pid || !IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className) ||
      strcmp(className, "#32770") != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

// Milliseconds from the start until a dialog of the process is visible; -1 when
// none came within 30 s.
double WaitForDialog(const Process& p, HWND* dialog) {
  for (double limit = p.started + 30000; Now() < limit;) {
    Search search = {p.pi.dwProcessId, nullptr};
    EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      *dialog = search.found;
      return Now() - p.started;
    }
    Sleep(1);
  }
  return -1;
}

std::map<std::string, std::vector<std::string>> g_results;
void Record(const std::string& figure, const std::string& subject, const std::string& value) {
  g_results[figure + " " + subject].push_back(value);
}
void Record(const std::string& figure, const std::string& subject, double value) {
  char text[32];
  snprintf(text, sizeof text, "%.3f", value);
  Record(figure, subject, std::string(text));
}

HANDLE g_release;  // lets the device-console stand-in end

// The three start-up subjects: the time until the dialog is visible, then the
// dialog is let go and the process waited for.
void StartUp(const char* subject, const std::string& dir, const std::string& program, const std::string& args) {
  if (std::string(subject) == "scripted") DeleteFileA((dir + "\\release").c_str());
  ResetEvent(g_release);
  Process p;
  if (!p.Start(dir, program, args)) return Record("startup", subject, -1.0);
  HWND dialog = nullptr;
  Record("startup", subject, WaitForDialog(p, &dialog));
  if (std::string(subject).rfind("floor", 0) == 0 && dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
  if (std::string(subject) == "scripted") WriteWholeFile(dir + "\\release", "");
  SetEvent(g_release);
  if (p.WaitForExit() < 0) Record("startup", std::string(subject) + "_hung", 1.0);
}

void WholeRun(const char* subject, const std::string& dir, const std::string& program, const std::string& args) {
  Process p;
  Record("wholerun", subject, p.Start(dir, program, args) ? p.WaitForExit() : -1.0);
}

void Status(const char* subject, const std::string& dir, const std::string& program, const std::string& args,
            const std::string& resultFile) {
  DeleteFileA((dir + "\\" + resultFile).c_str());
  Process p;
  if (!p.Start(dir, program, args) || p.WaitForExit() < 0) return Record("status", std::string(subject) + "_failed", 1.0);
  for (const auto& pair : ReadPairs(dir + "\\" + resultFile))
    Record("status", std::string(subject) + "_" + pair.first, pair.second);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  int rounds = atoi(argv[1]);
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  g_self = self;
  g_self.resize(g_self.find_last_of('\\'));

  // Fresh folders, each laid out as the product's installer would leave it.
  std::string work = Path("work");
  for (const char* s : {"-i", "-u", "-v", "-l"})
    if (work.find(s) != std::string::npos) {
      fprintf(stderr, "bench: the program would take \"%s\" in %s for a switch\n", s, work.c_str());
      return 5;
    }
  system(("rmdir /s /q \"" + work + "\" 2>nul").c_str());
  const std::string run = Path("..\\tests\\run\\bin");
  const char* texts[] = {"ModemInstallWinAppText.txt", "ModemUninstallWinAppText.txt"};
  std::map<std::string, std::string> dirs;
  CreateDirectoryA(work.c_str(), nullptr);
  for (const char* name : {"floor", "real", "scripted", "status", "hygiene"}) {
    dirs[name] = work + "\\" + name;
    CreateDirectoryA(dirs[name].c_str(), nullptr);
    for (const char* text : texts) Copy(run + "\\" + text, dirs[name], text);
  }
  bool ok = Copy(Path("floor_dialog.exe"), dirs["floor"], "floor_dialog.exe") &&
            Copy(Path("floor_dialog_shell32.exe"), dirs["floor"], "floor_dialog_shell32.exe") &&
            Copy(Path("floor_dialog_template.exe"), dirs["floor"], "floor_dialog_template.exe") &&
            Copy(Path("..\\app\\HalvoranInstallWinApp.exe"), dirs["real"], "HalvoranInstallWinApp.exe") &&
            Copy(Path("bench_waiting_devcon.exe"), dirs["real"], "devcon_32.exe") &&
            Copy(run + "\\grep.exe", dirs["real"], "grep.exe") &&
            Copy(run + "\\scripted\\HalvoranInstallWinApp.exe", dirs["scripted"], "HalvoranInstallWinApp.exe") &&
            Copy(Path("status\\HalvoranInstallWinApp.exe"), dirs["status"], "HalvoranInstallWinApp.exe") &&
            Copy(Path("bench_hygiene.exe"), dirs["hygiene"], "bench_hygiene.exe");
  if (!ok) return 3;
  WriteWholeFile(dirs["scripted"] + "\\scripted_sequences.txt", "wait release\n");
  WriteWholeFile(dirs["hygiene"] + "\\fake_devices.txt", "modem Zorvane PPP Data Modem\n");
  g_release = CreateEventA(nullptr, TRUE, FALSE, "HalvoranBenchRelease");
  // A window of this process keeps Wine's desktop up between the runs, as
  // Windows keeps its own: no run pays for starting it.
  CreateWindowExA(0, "STATIC", "bench", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

  // Two rounds first that are not kept: the first starts of a program cost more.
  for (int round = -2; round < rounds; ++round) {
    fprintf(stderr, "bench: round %d of %d\n", round + 1, rounds);
    bool keep = round >= 0;
    auto saved = g_results;
    // Each round alternates which subject goes first.
    for (int i = 0; i < 2; ++i) {
      if ((i == 0) == (round % 2 == 0)) {
        StartUp("floor", dirs["floor"], "floor_dialog.exe", "");
        StartUp("floor_shell32", dirs["floor"], "floor_dialog_shell32.exe", "");
        StartUp("floor_template", dirs["floor"], "floor_dialog_template.exe", "");
        WholeRun("floor", dirs["floor"], "floor_dialog.exe", "close");
        WholeRun("floor_shell32", dirs["floor"], "floor_dialog_shell32.exe", "close");
        WholeRun("floor_template", dirs["floor"], "floor_dialog_template.exe", "close");
        Status("floor", dirs["floor"], "floor_dialog.exe", "status 10000", "floor_status.txt");
      } else {
        StartUp("real", dirs["real"], "HalvoranInstallWinApp.exe", "-u");
        StartUp("scripted", dirs["scripted"], "HalvoranInstallWinApp.exe", "-u");
        WholeRun("real", dirs["real"], "HalvoranInstallWinApp.exe", "");
        Status("program", dirs["status"], "HalvoranInstallWinApp.exe", "-u", "status_result.txt");
      }
    }
    if (!keep) g_results = saved;
  }

  // Resource hygiene: 15 runs of 1,000 rounds, in a process of its own, while
  // the fakes are the system's libraries (the program loads them from there).
  Process hygiene;
  std::string hygieneResult = dirs["hygiene"] + "\\hygiene.txt";
  bool hygieneRan = false;
  {
    std::vector<std::unique_ptr<PlantedSystemFile>> fakes;
    bool planted = true;
    for (const char* fake : {"rasapi32.dll", "rasdlg.dll", "setupapi.dll"}) {
      fakes.push_back(std::make_unique<PlantedSystemFile>(fake, run + "\\fakes\\" + fake));
      planted = fakes.back()->Planted() && planted;
    }
    hygieneRan = planted && hygiene.Start(dirs["hygiene"], "bench_hygiene.exe", "15 1000 hygiene.txt") &&
                 hygiene.WaitForExit() >= 0;
  }

  FILE* out = fopen(argv[2], "w");
  if (out == nullptr) return 4;
  for (const auto& figure : g_results) {
    fprintf(out, "%s", figure.first.c_str());
    for (const std::string& value : figure.second) fprintf(out, " %s", value.c_str());
    fprintf(out, "\n");
  }
  if (hygieneRan) {
    if (FILE* in = fopen(hygieneResult.c_str(), "r")) {
      char line[256];
      while (fgets(line, sizeof line, in)) fprintf(out, "hygiene %s", line);
      fclose(in);
    }
  }
  fclose(out);
  return 0;
}
