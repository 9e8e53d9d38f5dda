// The package's roll-back step, run from the install folder when an install
// fails after its files are in place (a later action, a cancel):
//
// 1. When the program's install had completed (its marker "tmp.txt" is there,
//    an ordinary file), the program runs once more with -u from this folder:
//    the dial-up entry, the modems and the driver INF go with the files. An
//    install that the program itself ended has already undone its own steps,
//    and one the user declined (release 2.0 kept) must not remove that
//    release's modem and INF, so without the marker nothing more runs.
// 2. What the program leaves in its folder goes, so that Windows Installer
//    can remove the folder: the marker and the device console's list. Only
//    ordinary files go: a link of that name stays, and so does what it
//    points at.
#pragma once

// folder: the install folder, without a final backslash.
void RollBackSetUp(const char* folder);

// True when path names a plain file: not a folder, not a link or other
// reparse point.
bool IsOrdinaryFile(const char* path);

// Step 2 alone.
void ClearLeftovers(const char* folder);
