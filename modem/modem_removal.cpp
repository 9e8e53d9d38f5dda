// Every modem device whose listing mentions the brand is removed with the
// device-console tool, joined to the "grep.exe" filter by the command interpreter.
// The identifiers come from a file another program wrote, so each one is checked
// and quoted before it reaches the command interpreter, and escaped before it
// becomes part of the filter's pattern (basic regular expressions).
#include "modem/modem_removal.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/bounded_string.h"
#include "platform/probes.h"

namespace {

// Both commands start the device console of the Windows underneath: the first
// %s is its bits, "64" on 64-bit Windows (where this program runs under WOW64),
// else "32". The identifier is quoted for the command interpreter in both places.
const char kListing[] = ".\\devcon_%s.exe listclass MODEM | .\\grep.exe Zorvane > devcon_modem.txt";
const char kRemoval[] = ".\\devcon_%s.exe remove \"@%s\" | .\\grep.exe \"%s *: Removed\"";
const char kScratchFile[] = "devcon_modem.txt";
constexpr size_t kBufferSize = kRemovalCommandSize;

const char* DeviceConsoleBits() { return IsWow64() ? "64" : "32"; }

bool IsBlank(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }

// The line's first blank-delimited word; false when the line holds none.
bool TakeFirstToken(const char* line, char* token, size_t capacity) {
  while (*line != '\0' && IsBlank(*line)) ++line;
  size_t length = 0;
  while (line[length] != '\0' && !IsBlank(line[length])) ++length;
  if (length == 0 || length >= capacity) return false;
  memcpy(token, line, length);
  token[length] = '\0';
  return true;
}

// Device instance identifiers are printable ASCII. Any other byte is refused: on
// a double-byte code page a lead byte takes the byte behind it (the closing
// quote, say) into one character, control characters end or split the command.
// Inside double quotes the command interpreter still expands % (and ! when
// delayed expansion is on), a double quote would end the quoting, and a trailing
// backslash would escape the closing quote for the tool's own argument parsing.
// A leading '-' would make the filter's pattern an option. Such a token is no
// device identifier.
bool IsSafeToQuote(const char* token) {
  if (token[0] == '-') return false;
  size_t length = strlen(token);
  if (length == 0 || token[length - 1] == '\\') return false;
  for (const char* p = token; *p != '\0'; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x21 || c > 0x7E || c == '"' || c == '%' || c == '!') return false;
  }
  return true;
}

// The identifier as literal text of the filter's basic regular expression: its
// backslashes and dots would otherwise be pattern syntax. The filter takes a
// backslash before any character as that character.
bool EscapeForPattern(const char* token, char* pattern, size_t capacity) {
  size_t used = 0;
  for (const char* p = token; *p != '\0'; ++p) {
    bool special = strchr("\\.*[]^$", *p) != nullptr;
    size_t need = special ? 2 : 1;
    if (used + need >= capacity) return false;
    if (special) pattern[used++] = '\\';
    pattern[used++] = *p;
  }
  pattern[used] = '\0';
  return true;
}

// One line of the scratch file: its first kBufferSize - 1 characters are kept,
// the rest of an over-long line is description text and is read past, so it is
// never taken for an identifier. A line holding a NUL byte is not text and comes
// back empty. false at the end of the file.
bool ReadListingLine(FILE* file, char* line) {
  size_t used = 0;
  bool sawNul = false;
  int c = getc(file);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = getc(file)) {
    if (c == '\0') sawNul = true;
    if (used + 1 < kBufferSize) line[used++] = static_cast<char>(c);
  }
  line[sawNul ? 0 : used] = '\0';
  return true;
}

}  // namespace

bool BuildRemovalCommand(const char* line, char* command) {
  char token[kBufferSize];
  char pattern[kBufferSize];
  if (!TakeFirstToken(line, token, sizeof token)) return false;
  if (!IsSafeToQuote(token)) return false;
  if (!EscapeForPattern(token, pattern, sizeof pattern)) return false;
  return FormatBounded(command, kBufferSize, kRemoval, DeviceConsoleBits(), token, pattern);
}

int RemoveModemDevices(StatusCallback callback, void* context) {
  if (callback != nullptr) callback(context, "Removing modem ...\r\n");
  char listing[sizeof kListing];
  FormatBounded(listing, sizeof listing, kListing, DeviceConsoleBits());  // "%s" gives room for "64"
  system(listing);

  FILE* list = fopen(kScratchFile, "r");
  if (list == nullptr) return 0;

  int result = 0;
  char line[kBufferSize];
  char command[kBufferSize];
  while (ReadListingLine(list, line)) {
    if (!BuildRemovalCommand(line, command)) continue;
    if (system(command) == 0) result = 1;
  }
  fclose(list);
  return result;
}
