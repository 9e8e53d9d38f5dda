#include "platform/ansi_text.h"

#include <windows.h>
#include <string.h>

namespace {

// The capacities here are buffer sizes of a few hundred; anything an int cannot
// count is refused.
bool FitsInt(size_t n) { return n <= 0x7FFFFFF; }

}  // namespace

bool AnsiToWide(const char* text, wchar_t* wide, size_t capacity) {
  if (wide == nullptr || capacity == 0 || !FitsInt(capacity)) return false;
  wide[0] = L'\0';
  if (text == nullptr) return false;
  const size_t length = strlen(text);
  if (length == 0) return true;
  if (!FitsInt(length)) return false;
  const int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(length),
                                        wide, static_cast<int>(capacity - 1));
  if (count <= 0) {
    wide[0] = L'\0';
    return false;
  }
  wide[count] = L'\0';
  // Some code pages take a lone lead byte at the end without complaint; the way
  // back shows whether every byte was part of a whole character.
  char back[1024];
  if (length >= sizeof back || !WideToExactAnsi(wide, static_cast<size_t>(count), back, sizeof back) ||
      strcmp(back, text) != 0) {
    wide[0] = L'\0';
    return false;
  }
  return true;
}

bool WideToExactAnsi(const wchar_t* wide, size_t length, char* text, size_t capacity) {
  if (text == nullptr || capacity == 0 || !FitsInt(capacity)) return false;
  text[0] = '\0';
  if (wide == nullptr || !FitsInt(length) || wcsnlen(wide, length) != length) return false;
  if (length == 0) return true;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), text,
                                        static_cast<int>(capacity - 1), nullptr, nullptr);
  if (bytes <= 0) {
    text[0] = '\0';
    return false;
  }
  text[bytes] = '\0';
  // Characters without an exact form come out as a best-fit or default
  // character, which reads back as another character.
  wchar_t back[1024];
  const int count = length < sizeof back / sizeof back[0]
                        ? MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, bytes, back,
                                              static_cast<int>(sizeof back / sizeof back[0]))
                        : 0;
  if (count != static_cast<int>(length) || wmemcmp(back, wide, length) != 0) {
    text[0] = '\0';
    return false;
  }
  return true;
}
