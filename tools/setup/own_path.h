// Where this program itself lies: the package, the product's program and the
// files of the roll-back are found beside it, whatever the current folder is.
#pragma once
#include <windows.h>

// This program's full path; false when it does not fit.
bool OwnPath(char (&path)[MAX_PATH]);
// Its folder, without the final backslash; false when it cannot be had.
bool OwnFolder(char (&folder)[MAX_PATH]);
