// The files of the simulated dial-up stack and the encoding of their lines,
// shared by the fake libraries (which write and read them inside the program
// under test) and by the test-side reader. The formats are described in
// fake_stack.h.
#pragma once
#include <stddef.h>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"

namespace fakefiles {

// Relative names: every fake works in the process's current directory.
constexpr char kCallLog[] = "fake_calls.log";
constexpr char kDevices[] = "fake_devices.txt";
constexpr char kPhonebook[] = "fake_phonebook.txt";
constexpr char kScript[] = "fake_script.txt";
constexpr char kInfStore[] = "fake_infstore";

// One value of a "key=value" field.
enum class Kind { Number, Text, Bytes, Null, Pointer };
struct Field {
  std::string key;
  Kind kind = Kind::Null;
  std::string value;  // decoded: the digits, the text, or the raw bytes
};

// Encoders for the pieces of a line.
std::string Text(const char* text);                // "\"...\"" escaped, or null
std::string TextN(const char* text, size_t max);   // at most max bytes, stops at NUL
std::string Bytes(const void* data, size_t size);  // hex:..., or null for a null pointer
std::string Pointer(const void* p);                // ptr or null
std::string Number(unsigned long long n);
std::string Signed(long long n);

// Splits a line into its leading bare words and its fields. False on a
// malformed line (an unterminated text, bad hex).
bool ParseLine(const std::string& line, std::vector<std::string>* words,
               std::vector<Field>* fields);

// One phonebook entry: the record bytes as last written (empty when none).
struct PhonebookEntry {
  std::string name;
  std::string record;  // RASENTRYA bytes from RasSetEntryPropertiesA
  std::string params;  // RASDIALPARAMSA bytes from RasSetEntryDialParamsA
};
std::vector<PhonebookEntry> ParsePhonebook(const std::string& text);
std::string FormatPhonebook(const std::vector<PhonebookEntry>& entries);

// Remote-access devices: "<type> <name>" per line.
struct Device {
  std::string type;
  std::string name;
};
std::vector<Device> ParseDevices(const std::string& text);
std::string FormatDevices(const std::vector<Device>& devices);

// Whole files (binary; a missing file reads as empty and false), the lines of
// a text, and the sorted names of a folder's files that match a pattern.
using filebytes::FileNames;
using filebytes::ReadFileBytes;
using filebytes::SplitLines;
using filebytes::WriteFileBytes;

}  // namespace fakefiles
