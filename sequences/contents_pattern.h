// The pattern that names everything inside the earlier release's installation
// directory, for the shell's delete. The directory comes from the registry, so it
// is checked before anything is deleted by it, and read as characters of the ANSI
// code page, as the shell reads it: on a double-byte code page a character's
// second byte can be the byte of a backslash.
#pragma once
#include <stddef.h>
#include <wchar.h>

// The folder that directory (a terminated text in at most capacity bytes) names,
// as wide characters without trailing separators, into folder (MAX_PATH
// characters). Refuses, returning false, a directory that is not a folder below a
// drive root ("X:\name..."): empty, relative, a drive root, a network path, with
// wildcards, "." or ".." parts, parts ending in a dot or blank (the system drops
// those, so the name would be another folder's), other characters that are not
// plain path characters, or bytes that are not whole characters of the code page.
bool ReadFolderBelowDriveRoot(const char* directory, size_t capacity, wchar_t* folder);

// Turns the directory in buffer (capacity bytes) into "<directory>\*.*" followed
// by two terminators, in place; trailing separators of the directory are dropped.
// Refuses, returning false and leaving the buffer as it was, what
// ReadFolderBelowDriveRoot refuses, and a pattern too long for both terminators.
bool MakeContentsPattern(char* buffer, size_t capacity);
