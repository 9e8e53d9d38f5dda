// Platform probes, asked afresh at every use (nothing is cached).
// Each lives in a file of its own so that a test can link a scripted one instead.
#pragma once

// 1 when this process is a 32-bit process on 64-bit Windows; 0 otherwise or when
// the platform cannot tell.
int IsWow64();

// 1 when the system reports major version 6 with minor version 1 or more.
int IsWindows7();
