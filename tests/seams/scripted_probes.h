// Link seams for the platform probes. A test executable that lists
// scripted_wow64.cpp (or scripted_windows7.cpp) among its sources gets these
// definitions instead of the real probes from the platform library, so that
// the routes chosen by the probes can be driven from the test.
#pragma once

extern int g_scriptedIsWow64;        // what IsWow64() returns (default 0)
extern int g_isWow64Calls;           // how often IsWow64() was asked
extern int g_scriptedIsWindows7;     // what IsWindows7() returns (default 0)
extern int g_isWindows7Calls;        // how often IsWindows7() was asked
