// Starting programs from a test, with a time-out that always ends them.
#pragma once
#include <windows.h>
#include <set>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

// The full path of this test executable, and of the folder it lies in.
std::string SelfPath();
std::string SelfDir();
// A file of the tests' bin folder, SelfDir()\bin (companion programs, shipped
// files, fakes, test binaries).
std::string BinPath(const std::string& name);

// A started process; its handles close with the object, and a process that is
// still running then is killed, so that no test leaves one behind.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // commandLine as CreateProcessA takes it; workDir may be empty (this one's).
  bool Start(const std::string& commandLine, const std::string& workDir);
  // The same with the child's standard handles set (they must be inheritable;
  // a null handle leaves the child without that stream).
  bool StartWithStdHandles(const std::string& commandLine, const std::string& workDir,
                           HANDLE input, HANDLE output, HANDLE error);
  // The same with the program named apart from its command line, which is then
  // exactly what the program's GetCommandLineA returns.
  bool Start(const std::string& program, const std::string& commandLine,
             const std::string& workDir);
  // Waits up to timeoutMs; returns the exit code, or -1 after a time-out (the
  // process is then killed).
  long Wait(DWORD timeoutMs);
  bool Running() const;
  DWORD Id() const { return pi_.dwProcessId; }
  HANDLE Handle() const { return pi_.hProcess; }

 private:
  bool Launch(const std::string& program, const std::string& commandLine,
              const std::string& workDir, STARTUPINFOA* si, BOOL inheritHandles);
  PROCESS_INFORMATION pi_ = {};
};

// Start and wait in one; -1 on time-out or when it cannot start (see startFailed).
long RunProcess(const std::string& commandLine, const std::string& workDir,
                DWORD timeoutMs = 60000, bool* startFailed = nullptr);

// The command line that runs the child routine `name` (tests/support/child.h)
// of the test executable exe with args as they are (already quoted as needed).
std::string ChildCommandLine(const std::string& name, const std::string& args = "",
                             const std::string& exe = SelfPath());
// Runs that child routine with workDir as its current directory; as RunProcess.
long RunChild(const std::string& workDir, const std::string& name, const std::string& args = "",
              const std::string& exe = SelfPath(), DWORD timeoutMs = 120000);

// Runs commandLine with standard input read from inputPath and standard output
// and error written to outputPath and errorPath (created afresh; an empty path
// gives the child no such stream). Returns the exit code, -1 after a time-out
// or when the process cannot start.
long RunProcessWithFiles(const std::string& commandLine, const std::string& workDir,
                         const std::string& inputPath, const std::string& outputPath,
                         const std::string& errorPath, DWORD timeoutMs = 60000);

// One argument quoted for a command line, so that the C runtime's parsing gives
// it back unchanged (blanks, quotes and backslashes included).
std::string QuoteArgument(const std::string& argument);

// Small file helpers for checking what a program left behind.
bool FileExists(const std::string& path);
bool ReadWholeFile(const std::string& path, std::string* out);
bool WriteWholeFile(const std::string& path, const std::string& data);
bool CopyFileTo(const std::string& from, const std::string& to);
std::string JoinPath(const std::string& dir, const std::string& name);
// Copies this test executable to exe with a manifest beside it that sets its
// ANSI code page to UTF-8: narrow paths of three-byte characters then reach
// lengths in bytes that Wine's ANSI calls would otherwise refuse.
bool CopySelfWithUtf8CodePage(const std::string& exe);
// The lines of a text (or of a file: none when it cannot be read), without
// their line ends (LF or CRLF).
std::vector<std::string> TextLines(const std::string& text);
std::vector<std::string> FileLines(const std::string& path);
// Lines written as a whole file, each ended by "\n".
using filebytes::WriteLines;
// A file's content; empty when it cannot be read.
std::string FileText(const std::string& path);
// True when one of lines is exactly line.
bool ContainsLine(const std::vector<std::string>& lines, const std::string& line);
// The names directly in a folder (files and folders, "." and ".." left out);
// none when it cannot be read. With filesOnly, the files alone.
std::set<std::string> FolderEntries(const std::string& dir, bool filesOnly = false);

// An environment variable of this process; empty when it is not set.
std::string EnvironmentValue(const char* name);
