#include "tools/setup/setup_request.h"

#include <string.h>

#include "platform/bounded_string.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// The program's own name: quoted up to the closing quote, else up to a blank.
const char* SkipProgramName(const char* p) {
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    return *p == '"' ? p + 1 : p;
  }
  while (*p && !IsBlank(*p)) ++p;
  return p;
}

size_t WordLength(const char* p) {
  size_t n = 0;
  while (p[n] && !IsBlank(p[n])) ++n;
  return n;
}

bool IsWord(const char* word, size_t length, const char* expected) {
  return length == strlen(expected) && _strnicmp(word, expected, length) == 0;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A removal switch: the product code must follow; the options come after it.
SetupRequest ReadRemoval(SetupMode mode, const char* afterSwitch) {
  SetupRequest request;
  const char* code = SkipBlanks(afterSwitch);
  const size_t length = WordLength(code);
  if (!IsProductCode(code, length)) {
    request.mode = SetupMode::kNoProductCode;
    request.options = code;  // a quiet switch there still means no box
    return request;
  }
  request.mode = mode;
  FormatBounded(request.productCode, sizeof request.productCode, "%.*s", static_cast<int>(length),
                code);
  request.options = SkipBlanks(code + length);
  return request;
}

}  // namespace

bool IsProductCode(const char* text, size_t length) {
  static const char kShape[] = "{########-####-####-####-############}";
  if (text == nullptr || length != sizeof kShape - 1) return false;
  for (size_t i = 0; i < length; ++i) {
    const bool fits = kShape[i] == '#' ? IsHexDigit(text[i]) : text[i] == kShape[i];
    if (!fits) return false;
  }
  return true;
}

SetupRequest ReadSetupRequest(const char* commandLine) {
  const char* rest = SkipBlanks(SkipProgramName(commandLine ? commandLine : ""));
  const size_t length = WordLength(rest);
  if (IsWord(rest, length, "/x") || IsWord(rest, length, "-x"))
    return ReadRemoval(SetupMode::kRemove, rest + length);
  if (IsWord(rest, length, "/remove-from-copy"))
    return ReadRemoval(SetupMode::kRemoveFromCopy, rest + length);
  SetupRequest request;
  if (IsWord(rest, length, "/rollback")) {
    request.mode = SetupMode::kRollback;
    return request;
  }
  request.options = rest;
  return request;
}

bool AsksForNoUserInterface(const char* options) {
  for (const char* p = SkipBlanks(options ? options : ""); *p; p = SkipBlanks(p)) {
    const size_t length = WordLength(p);
    const bool isSwitch = p[0] == '/' || p[0] == '-';
    if (isSwitch && length >= 2 && (p[1] == 'q' || p[1] == 'Q')) {
      // /q alone is /qn, and /qn+ still shows nothing until the end; /qb, /qr
      // and /qf show windows.
      if (length == 2 || p[2] == 'n' || p[2] == 'N' || IsWord(p + 1, length - 1, "quiet"))
        return true;
    }
    p += length;
  }
  return false;
}
