#include "tests/support/process.h"

#include <stdio.h>
#include <string.h>
#include <vector>

#include "tests/support/file_bytes.h"

std::string SelfPath() { return filebytes::ModulePath(); }

std::string SelfDir() {
  std::string p = SelfPath();
  return p.substr(0, p.find_last_of('\\'));
}

std::string BinPath(const std::string& name) { return JoinPath(JoinPath(SelfDir(), "bin"), name); }

ChildProcess::~ChildProcess() {
  if (pi_.hProcess) {
    if (Running()) {
      TerminateProcess(pi_.hProcess, 0xDEAD);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
  }
  if (pi_.hThread) CloseHandle(pi_.hThread);
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& workDir) {
  return Start(std::string(), commandLine, workDir);
}

bool ChildProcess::Start(const std::string& program, const std::string& commandLine,
                         const std::string& workDir) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  return Launch(program, commandLine, workDir, &si, FALSE);
}

bool ChildProcess::StartWithStdHandles(const std::string& commandLine, const std::string& workDir,
                                       HANDLE input, HANDLE output, HANDLE error) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = input;
  si.hStdOutput = output;
  si.hStdError = error;
  return Launch(std::string(), commandLine, workDir, &si, TRUE);
}

bool ChildProcess::Launch(const std::string& program, const std::string& commandLine,
                          const std::string& workDir, STARTUPINFOA* si, BOOL inheritHandles) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  return CreateProcessA(program.empty() ? nullptr : program.c_str(), line.data(), nullptr,
                        nullptr, inheritHandles, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), si, &pi_) != 0;
}

long ChildProcess::Wait(DWORD timeoutMs) {
  if (!pi_.hProcess) return -1;
  if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(pi_.hProcess, 0xDEAD);
    WaitForSingleObject(pi_.hProcess, 5000);
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return static_cast<long>(code);
}

bool ChildProcess::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

long RunProcess(const std::string& commandLine, const std::string& workDir, DWORD timeoutMs,
                bool* startFailed) {
  ChildProcess p;
  bool started = p.Start(commandLine, workDir);
  if (startFailed) *startFailed = !started;
  return started ? p.Wait(timeoutMs) : -1;
}

namespace {

// An inheritable handle on a file, closed with the object.
class InheritableFile {
 public:
  InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
    if (path.empty()) return;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    handle_ = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                          disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) handle_ = nullptr;
  }
  ~InheritableFile() {
    if (handle_) CloseHandle(handle_);
  }
  InheritableFile(const InheritableFile&) = delete;
  InheritableFile& operator=(const InheritableFile&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace

long RunProcessWithFiles(const std::string& commandLine, const std::string& workDir,
                         const std::string& inputPath, const std::string& outputPath,
                         const std::string& errorPath, DWORD timeoutMs) {
  InheritableFile input(inputPath, GENERIC_READ, OPEN_EXISTING);
  InheritableFile output(outputPath, GENERIC_WRITE, CREATE_ALWAYS);
  InheritableFile error(errorPath, GENERIC_WRITE, CREATE_ALWAYS);
  if ((!inputPath.empty() && !input.Get()) || (!outputPath.empty() && !output.Get()) ||
      (!errorPath.empty() && !error.Get())) {
    return -1;
  }
  ChildProcess p;
  if (!p.StartWithStdHandles(commandLine, workDir, input.Get(), output.Get(), error.Get()))
    return -1;
  return p.Wait(timeoutMs);
}

std::string ChildCommandLine(const std::string& name, const std::string& args,
                             const std::string& exe) {
  return QuoteArgument(exe) + " --child " + name + (args.empty() ? "" : " " + args);
}

long RunChild(const std::string& workDir, const std::string& name, const std::string& args,
              const std::string& exe, DWORD timeoutMs) {
  return RunProcess(ChildCommandLine(name, args, exe), workDir, timeoutMs);
}

std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  // Backslashes before the closing quote are doubled.
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadWholeFile(const std::string& path, std::string* out) {
  std::string data;
  if (!filebytes::ReadFileBytes(path, &data)) return false;  // *out stays as it was
  out->swap(data);
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
  return filebytes::WriteFileBytes(path, data);
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '\\') return dir + name;
  return dir + "\\" + name;
}

std::vector<std::string> TextLines(const std::string& text) {
  return filebytes::SplitLines(text);
}

std::vector<std::string> FileLines(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, &text)) return std::vector<std::string>();
  return TextLines(text);
}

std::set<std::string> FolderEntries(const std::string& dir, bool filesOnly) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  // Not JoinPath: a name may end in a double-byte character whose second byte
  // is that of a backslash, and the search must still go one level down.
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0 &&
        !(filesOnly && folder))
      names.insert(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::string EnvironmentValue(const char* name) {
  char value[MAX_PATH] = {};
  DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value) : std::string();
}

static const char kUtf8Manifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly manifestVersion=\"1.0\" xmlns=\"urn:schemas-microsoft-com:asm.v1\" "
    "xmlns:asmv3=\"urn:schemas-microsoft-com:asm.v3\">\n"
    " <asmv3:application>\n"
    "  <asmv3:windowsSettings xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">\n"
    "   <activeCodePage>UTF-8</activeCodePage>\n"
    "  </asmv3:windowsSettings>\n"
    " </asmv3:application>\n"
    "</assembly>\n";

bool CopySelfWithUtf8CodePage(const std::string& exe) {
  return CopyFileTo(SelfPath(), exe) && WriteWholeFile(exe + ".manifest", kUtf8Manifest);
}

std::string FileText(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, &text) ? text : std::string();
}

bool ContainsLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}
