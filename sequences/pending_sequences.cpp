// Placeholders for the three jobs until the sequences are built: each does
// nothing. RunInstall reports an incomplete install, so no success marker is
// ever left by a program that has not installed anything.
#include "sequences/sequences.h"

int RunInstall(StatusCallback /*callback*/, void* /*context*/) { return 0; }

int RunUninstall(StatusCallback /*callback*/, void* /*context*/) { return 1; }

int RunLaunch(StatusCallback /*callback*/, void* /*context*/) { return 1; }
