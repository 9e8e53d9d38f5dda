// Starting Windows Installer (or another program of this product) and waiting
// for it. msiexec is always named by its full path in the system folder: by
// bare name the process start would look in this program's folder and the
// current one first, where a download folder may hold anything.
#pragma once
#include <windows.h>
#include <stddef.h>

// A command line of up to the 32767 characters that CreateProcess takes.
constexpr size_t kCommandLineCapacity = 32768;

// "<program>" <action> "<target>" <options> into line; false when it does not
// fit (line then holds nothing usable). options may be empty.
bool BuildInstallerCommand(char* line, size_t capacity, const char* program, const char* action,
                           const char* target, const char* options);

// "<system folder>\msiexec.exe"; false when the path cannot be had.
bool MsiexecPath(char (&path)[MAX_PATH]);

// Starts program with commandLine (which CreateProcessA may change) in
// currentDir (null: this process's) and waits for it to end. Returns 0 and
// the exit code, or the error of the start.
DWORD RunAndWait(const char* program, char* commandLine, const char* currentDir, DWORD* exitCode);

// Starts it without waiting; 0 or the error of the start.
DWORD StartWithoutWaiting(const char* program, char* commandLine, const char* currentDir);
