#include "platform/bounded_string.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

namespace {

size_t Length(const char* text) { return strlen(text); }
size_t Length(const wchar_t* text) { return wcslen(text); }
size_t LengthWithin(const char* text, size_t capacity) { return strnlen(text, capacity); }
size_t LengthWithin(const wchar_t* text, size_t capacity) { return wcsnlen(text, capacity); }

template <typename Char> bool CopyText(Char* dst, size_t capacity, const Char* src) {
  static const Char kEmpty[1] = {0};
  if (dst == nullptr || capacity == 0) return false;
  if (src == nullptr) src = kEmpty;
  size_t n = Length(src);
  bool fits = n < capacity;
  if (!fits) n = capacity - 1;
  memcpy(dst, src, n * sizeof(Char));
  dst[n] = 0;
  return fits;
}

template <typename Char> bool AppendText(Char* dst, size_t capacity, const Char* src) {
  if (dst == nullptr || capacity == 0) return false;
  size_t used = LengthWithin(dst, capacity);
  if (used == capacity) {  // not terminated: terminate it, and report the loss
    dst[capacity - 1] = 0;
    return false;
  }
  return CopyText(dst + used, capacity - used, src);
}

}  // namespace

bool CopyBounded(char* dst, size_t capacity, const char* src) {
  return CopyText(dst, capacity, src);
}
bool AppendBounded(char* dst, size_t capacity, const char* src) {
  return AppendText(dst, capacity, src);
}
bool CopyBounded(wchar_t* dst, size_t capacity, const wchar_t* src) {
  return CopyText(dst, capacity, src);
}
bool AppendBounded(wchar_t* dst, size_t capacity, const wchar_t* src) {
  return AppendText(dst, capacity, src);
}

bool FormatBoundedV(char* dst, size_t capacity, const char* format, va_list args) {
  if (dst == nullptr || capacity == 0) return false;
  // The C run-time's _vsnprintf leaves no terminator on overflow and returns -1;
  // terminate it here in every case.
  int n = _vsnprintf(dst, capacity, format, args);
  dst[capacity - 1] = '\0';
  return n >= 0 && static_cast<size_t>(n) < capacity;
}

bool FormatBounded(char* dst, size_t capacity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool fits = FormatBoundedV(dst, capacity, format, args);
  va_end(args);
  return fits;
}
