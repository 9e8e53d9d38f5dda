// Whole files, the lines of a text, the files of a folder and a module's own
// path, for the test support, the fake system libraries and the scripted
// programs alike. Inline, so that they take them without linking anything of
// the test support (which a library loaded into the program under test must
// not import).
#pragma once
#include <windows.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

namespace filebytes {

// Binary; false when the file cannot be read (*out is then empty).
inline bool ReadFileBytes(const std::string& path, std::string* out) {
  out->clear();
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
  fclose(f);
  return true;
}

inline bool WriteFileBytes(const std::string& path, const std::string& data) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
  return fclose(f) == 0 && ok;
}

// Writes lines, each ended by "\n", as the whole file.
inline bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return WriteFileBytes(path, text);
}

// Appends line and a line end to the file, which is created when missing.
inline bool AppendLine(const std::string& path, const std::string& line) {
  FILE* f = fopen(path.c_str(), "ab");
  if (!f) return false;
  bool ok = fputs((line + "\n").c_str(), f) >= 0;
  return fclose(f) == 0 && ok;
}

// The full path of a module's file (null: this process's program).
inline std::string ModulePath(HMODULE module = nullptr) {
  char path[MAX_PATH * 2] = {};
  GetModuleFileNameA(module, path, sizeof path);
  return path;
}

// The lines of a text without their line ends (LF or CRLF).
inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The names of the files (not folders) in folder that match pattern, sorted.
inline std::vector<std::string> FileNames(const std::string& folder, const char* pattern = "*") {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\" + pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace filebytes
