// The pattern that names everything inside the earlier release's installation
// directory, for the shell's delete. The directory comes from the registry, so it
// is checked before anything is deleted by it.
#pragma once
#include <stddef.h>

// Turns the directory in buffer (capacity bytes) into "<directory>\*.*" followed
// by two terminators, in place; trailing separators of the directory are dropped.
// Refuses, returning false and leaving the buffer as it was, a directory that is
// not a folder below a drive root ("X:\name..."): empty, relative, a drive root,
// a network path, with wildcards, "." or ".." parts or other characters that are
// not plain path characters, or too long for the pattern and both terminators.
bool MakeContentsPattern(char* buffer, size_t capacity);
