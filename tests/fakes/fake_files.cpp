#include "tests/fakes/fake_files.h"

#include <string.h>

namespace fakefiles {

namespace {

const char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Escaped(const char* text, size_t max) {
  std::string out = "\"";
  for (size_t i = 0; i < max && text[i] != '\0'; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      out += "\\x";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Reads one value starting at line[*pos]; leaves *pos after it.
bool ParseValue(const std::string& line, size_t* pos, Field* field) {
  size_t i = *pos;
  if (i < line.size() && line[i] == '"') {
    std::string text;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] != '\\') {
        text += line[i];
        continue;
      }
      if (++i >= line.size()) return false;
      if (line[i] == 'x') {
        if (i + 2 >= line.size()) return false;
        int hi = HexValue(line[i + 1]), lo = HexValue(line[i + 2]);
        if (hi < 0 || lo < 0) return false;
        text += static_cast<char>(hi * 16 + lo);
        i += 2;
      } else {
        text += line[i];
      }
    }
    if (i >= line.size()) return false;  // unterminated
    field->kind = Kind::Text;
    field->value = text;
    *pos = i + 1;
    return true;
  }
  size_t end = line.find(' ', i);
  if (end == std::string::npos) end = line.size();
  std::string token = line.substr(i, end - i);
  *pos = end;
  if (token == "null") {
    field->kind = Kind::Null;
  } else if (token == "ptr") {
    field->kind = Kind::Pointer;
  } else if (token.compare(0, 4, "hex:") == 0) {
    if (token.size() % 2 != 0) return false;
    std::string bytes;
    for (size_t k = 4; k < token.size(); k += 2) {
      int hi = HexValue(token[k]), lo = HexValue(token[k + 1]);
      if (hi < 0 || lo < 0) return false;
      bytes += static_cast<char>(hi * 16 + lo);
    }
    field->kind = Kind::Bytes;
    field->value = bytes;
  } else {
    field->kind = Kind::Number;
    field->value = token;
  }
  return true;
}

std::string TrimLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

}  // namespace

std::string Text(const char* text) { return text ? Escaped(text, static_cast<size_t>(-1)) : "null"; }

std::string TextN(const char* text, size_t max) { return text ? Escaped(text, max) : "null"; }

std::string Bytes(const void* data, size_t size) {
  if (data == nullptr) return "null";
  const unsigned char* p = static_cast<const unsigned char*>(data);
  std::string out = "hex:";
  out.reserve(4 + size * 2);
  for (size_t i = 0; i < size; ++i) {
    out += kHexDigits[p[i] >> 4];
    out += kHexDigits[p[i] & 15];
  }
  return out;
}

std::string Pointer(const void* p) { return p ? "ptr" : "null"; }

std::string Number(unsigned long long n) { return std::to_string(n); }

std::string Signed(long long n) { return std::to_string(n); }

bool ParseLine(const std::string& rawLine, std::vector<std::string>* words,
               std::vector<Field>* fields) {
  std::string line = TrimLineEnd(rawLine);
  words->clear();
  fields->clear();
  size_t pos = 0;
  while (pos < line.size()) {
    if (line[pos] == ' ') {
      ++pos;
      continue;
    }
    size_t space = line.find(' ', pos);
    size_t equals = line.find('=', pos);
    if (equals == std::string::npos || (space != std::string::npos && space < equals)) {
      if (!fields->empty()) return false;  // words come before the fields
      if (space == std::string::npos) space = line.size();
      words->push_back(line.substr(pos, space - pos));
      pos = space;
      continue;
    }
    Field field;
    field.key = line.substr(pos, equals - pos);
    pos = equals + 1;
    if (!ParseValue(line, &pos, &field)) return false;
    if (pos < line.size() && line[pos] != ' ') return false;
    fields->push_back(field);
  }
  return true;
}

std::vector<PhonebookEntry> ParsePhonebook(const std::string& text) {
  std::vector<PhonebookEntry> entries;
  for (const std::string& line : SplitLines(text)) {
    std::vector<std::string> words;
    std::vector<Field> fields;
    if (!ParseLine(line, &words, &fields)) continue;
    PhonebookEntry entry;
    bool named = false;
    for (const Field& f : fields) {
      if (f.key == "entry" && f.kind == Kind::Text) {
        entry.name = f.value;
        named = true;
      } else if (f.key == "record" && f.kind == Kind::Bytes) {
        entry.record = f.value;
      } else if (f.key == "params" && f.kind == Kind::Bytes) {
        entry.params = f.value;
      }
    }
    if (named) entries.push_back(entry);
  }
  return entries;
}

std::string FormatPhonebook(const std::vector<PhonebookEntry>& entries) {
  std::string text;
  for (const PhonebookEntry& e : entries) {
    text += "entry=" + Text(e.name.c_str()) + " record=" + Bytes(e.record.data(), e.record.size()) +
            " params=" + Bytes(e.params.data(), e.params.size()) + "\n";
  }
  return text;
}

std::vector<Device> ParseDevices(const std::string& text) {
  std::vector<Device> devices;
  for (const std::string& line : SplitLines(text)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    size_t space = line.find_first_of(" \t", start);
    Device d;
    d.type = line.substr(start, space == std::string::npos ? std::string::npos : space - start);
    if (space != std::string::npos) {
      size_t name = line.find_first_not_of(" \t", space);
      if (name != std::string::npos) d.name = line.substr(name);
    }
    devices.push_back(d);
  }
  return devices;
}

std::string FormatDevices(const std::vector<Device>& devices) {
  std::string text;
  for (const Device& d : devices) text += d.type + " " + d.name + "\n";
  return text;
}

}  // namespace fakefiles
