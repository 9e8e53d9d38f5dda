// The job of this run, decided from the whole command line (the program's own
// path included) by a case-sensitive search for a two-character switch
// anywhere in it. The first switch found in the fixed order decides. The
// decision is never stored: each user decides afresh.
#pragma once

enum class SetupMode { Install, Uninstall, Version, Launch, None };

// What the progress dialog shows: "-i", "-u", "-v", "-l".
SetupMode DialogSetupMode();

// Which job the worker runs: "-i", "-u", "-l" (there is no version job).
SetupMode WorkerSetupMode();
