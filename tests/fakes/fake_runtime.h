// What every fake system library does besides its own calls: append to the
// call log and look up the script, both in the current directory.
#pragma once
#include <windows.h>
#include <string>

#include "tests/fakes/fake_files.h"

namespace fakeruntime {

// Appends "<library> <rest>\n" to the call log in one write.
void Log(const char* library, const std::string& rest);

// The attach, detach and exit lines that let tests count loads and frees.
void LogModuleEvent(const char* library, DWORD reason, LPVOID reserved);

// The value the script forces on this call of function, or false. The rules
// are tried in this order: "<function>#<n>" (n: this call's number, counted
// from the calls of that function already in the log), "<function>.<kind>"
// (when kind is given), "<function>".
bool Scripted(const char* library, const char* function, const char* kind, std::string* value);

// A scripted number for this call, or the natural result.
unsigned long ScriptedNumber(const char* library, const char* function, const char* kind,
                             unsigned long natural, bool* forced = nullptr);

}  // namespace fakeruntime
