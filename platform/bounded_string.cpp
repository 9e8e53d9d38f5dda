#include "platform/bounded_string.h"

#include <stdio.h>
#include <string.h>

bool CopyBounded(char* dst, size_t capacity, const char* src) {
  if (dst == nullptr || capacity == 0) return false;
  if (src == nullptr) src = "";
  size_t n = strlen(src);
  bool fits = n < capacity;
  if (!fits) n = capacity - 1;
  memcpy(dst, src, n);
  dst[n] = '\0';
  return fits;
}

bool AppendBounded(char* dst, size_t capacity, const char* src) {
  if (dst == nullptr || capacity == 0) return false;
  size_t used = strnlen(dst, capacity);
  if (used == capacity) {  // not terminated: terminate it, and report the loss
    dst[capacity - 1] = '\0';
    return false;
  }
  return CopyBounded(dst + used, capacity - used, src);
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
