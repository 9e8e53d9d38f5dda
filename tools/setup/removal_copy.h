// The removal from the list of installed programs starts this program from the
// install folder, which Windows Installer is about to delete, and a running
// program's file cannot be deleted. So /x hands over to a copy of this program
// in a folder of its own in the temp folder and ends; the copy runs msiexec /x
// and returns Windows Installer's exit code.
//
// The folder is made afresh, under a name not used before, with an access list
// of its own (administrators and the system only, nothing inherited), so no
// other user can have made it, linked it elsewhere or put a file into it. The
// copy cannot delete its own file while it runs: the system deletes the copy,
// then the folder, at the next restart.
#pragma once
#include <windows.h>

// The switch that starts the copy (see setup_request.h).
constexpr char kRemoveFromCopySwitch[] = "/remove-from-copy";

// 0 once the copy runs; else the error that stopped the hand-over, and nothing
// of it is left.
DWORD HandOverRemoval(const char* productCode, const char* options);
