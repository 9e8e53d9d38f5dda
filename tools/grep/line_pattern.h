// A POSIX basic regular expression (std::regex, basic grammar) searched for in
// one line at a time.
#pragma once
#include <regex>
#include <string>

class LinePattern {
 public:
  // False, with a reason in *error, for a pattern the grammar rejects, and for
  // back-references, which the linear-time matcher cannot evaluate.
  bool Compile(const std::string& pattern, std::string* error);
  // True when some part of line (without its line end) matches.
  bool Matches(const std::string& line) const;

 private:
  std::regex search_;
};
