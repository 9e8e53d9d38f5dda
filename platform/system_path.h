// Files of the system folder by their full path: by bare name the loader or the
// process start would search the program's folder or the current one first,
// where an elevated installer's downloads lie. A 32-bit process under WOW64 gets
// the 32-bit copies there through the file-system redirection.
#pragma once
#include <stddef.h>

// "<system folder>\<name>" into path (capacity bytes); false when the system
// names no folder or the whole path does not fit.
bool BuildSystemPath(const char* name, char* path, size_t capacity);

template <size_t N> inline bool BuildSystemPath(const char* name, char (&path)[N]) {
  return BuildSystemPath(name, path, N);
}
