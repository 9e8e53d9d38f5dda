// The earlier release's installation directory as its record gives it. The
// directory comes from the registry, so it is checked before anything is
// deleted in it, and read as characters of the ANSI code page, as the system
// reads it: on a double-byte code page a character's second byte can be the
// byte of a backslash.
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
