// Text of the ANSI code page read as characters. On a double-byte code page (932,
// 936, 949, 950) the second byte of a character can be 0x5C, the byte of a
// backslash, so a path or name that other software wrote is taken apart only in
// its wide form, and written back only when the way back gives the same text.
// Both directions refuse texts of more than 1023 bytes or characters.
#pragma once
#include <stddef.h>
#include <wchar.h>

// text as wide characters of the ANSI code page, terminated. false (wide holds
// an empty text then) when text is not exactly a sequence of characters of the
// code page (an invalid sequence, a lead byte without its second byte) or when
// it does not fit capacity characters together with its terminator.
bool AnsiToWide(const char* text, wchar_t* wide, size_t capacity);

// The first length characters of wide as ANSI text, terminated. false (text
// holds an empty text then) when a character has no exact form in the code page
// (a best-fit or default character would name something else), when wide holds
// a NUL among them, or when the text does not fit capacity bytes with its
// terminator.
bool WideToExactAnsi(const wchar_t* wide, size_t length, char* text, size_t capacity);
