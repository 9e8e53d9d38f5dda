// The job of this run, decided from the arguments of the command line by a
// case-sensitive search for a two-character switch anywhere in them. The
// program's own path is not searched: a folder named "kit-update" must not
// choose a job. The first switch found in the fixed order decides. The
// decision is never stored: each user decides afresh.
#pragma once

enum class SetupMode { Install, Uninstall, Version, Launch, None };

// What the progress dialog shows: "-i", "-u", "-v", "-l".
SetupMode DialogSetupMode();

// Which job the worker runs: "-i", "-u", "-l" (there is no version job).
SetupMode WorkerSetupMode();

// The arguments of a command line: what follows the program's path, the first
// token as the C run-time reads argv[0] (double quotes group, and are not part
// of it; a blank or tab outside quotes ends it).
const char* CommandLineArguments(const char* commandLine);
