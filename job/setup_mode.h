// The job of this run, decided from the arguments of the command line by a
// case-sensitive search for a two-character switch anywhere in them. The
// program's own path is not searched: a folder named "kit-update" must not
// choose a job. The first switch found in the fixed order decides. The
// decision is never stored: each user decides afresh.
#pragma once

#include <stddef.h>

enum class SetupMode { Install, Uninstall, Version, Launch, None };

// A switch and the mode it chooses; an order is searched switch by switch.
struct ModeSwitch {
  const char* text;
  SetupMode mode;
};

// What the progress dialog shows.
constexpr ModeSwitch kDialogOrder[] = {{"-i", SetupMode::Install}, {"-u", SetupMode::Uninstall},
                                       {"-v", SetupMode::Version}, {"-l", SetupMode::Launch}};
// Which job the worker runs (there is no version job).
constexpr ModeSwitch kWorkerOrder[] = {{"-i", SetupMode::Install}, {"-u", SetupMode::Uninstall},
                                       {"-l", SetupMode::Launch}};

// The mode of the first switch of the order found anywhere in the arguments;
// None when none is there.
SetupMode DecideSetupMode(const char* arguments, const ModeSwitch* order, size_t count);

// The decisions over this process's command line, by kDialogOrder and kWorkerOrder.
SetupMode DialogSetupMode();
SetupMode WorkerSetupMode();

// The arguments of a command line. When it begins with programPath (this
// program's file as the system names it), quoted or not and compared without
// regard to case, they are what follows exactly that: an unquoted path may hold
// blanks. Otherwise a line that begins with '-' or '/' is all arguments (a
// caller that passed only them), and any other line's arguments follow its
// first token as the C run-time reads argv[0] (double quotes group, and are not
// part of it; a blank or tab outside quotes ends it). programPath may be empty.
const char* CommandLineArguments(const char* commandLine, const char* programPath);
