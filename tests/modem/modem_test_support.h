// Shared by the modem tests: a StatusCallback that records what it is given,
// and children of this executable run in a scratch folder of their own.
#pragma once
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/status_recorder.h"
#include "worker/status_channel.h"

// Writes all recorded lines, joined, to path (a child's "status.txt").
bool SaveStatus(const char* path);

// Runs child routine `name` with `args` in `dir` as its current directory: from
// a copy of this executable placed in dir when copySelf (so that the libraries
// beside it are the ones it loads), else from here. Returns the exit code, -1 on
// time-out.
long RunChildIn(const std::string& dir, const std::string& name, const std::string& args,
                bool copySelf, DWORD timeoutMs = 60000);

// A scratch folder with the fake dial-up stack (and the named variants) in
// place, for children run with RunChildIn(dir, ..., true).
std::string FakeFolder(const std::string& name, const std::vector<std::string>& variants = {});
