// Every fixed-size text buffer in the program is filled through these helpers.
// They never write past the capacity, always leave a terminating NUL (when the
// capacity is at least 1), and say whether the whole text fitted. A caller that
// must not act on a cut text checks the result; one that may, ignores it.
#pragma once
#include <stddef.h>
#include <stdarg.h>
#include <wchar.h>

bool CopyBounded(char* dst, size_t capacity, const char* src);
bool AppendBounded(char* dst, size_t capacity, const char* src);
// The same for wide text (capacity in characters).
bool CopyBounded(wchar_t* dst, size_t capacity, const wchar_t* src);
bool AppendBounded(wchar_t* dst, size_t capacity, const wchar_t* src);
bool FormatBounded(char* dst, size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool FormatBoundedV(char* dst, size_t capacity, const char* format, va_list args);

template <size_t N> inline bool CopyBounded(char (&dst)[N], const char* src) {
  return CopyBounded(dst, N, src);
}
template <size_t N> inline bool AppendBounded(char (&dst)[N], const char* src) {
  return AppendBounded(dst, N, src);
}
template <size_t N> inline bool CopyBounded(wchar_t (&dst)[N], const wchar_t* src) {
  return CopyBounded(dst, N, src);
}
template <size_t N> inline bool AppendBounded(wchar_t (&dst)[N], const wchar_t* src) {
  return AppendBounded(dst, N, src);
}
