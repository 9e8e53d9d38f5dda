#include "tools/grep/line_pattern.h"

namespace {

// libstdc++'s default executor recurses once per character and overflows the
// stack on lines of a few hundred kilobytes; its polynomial (breadth-first)
// executor does not, but it refuses back-references.
constexpr std::regex_constants::syntax_option_type kGrammar =
    std::regex_constants::basic | std::regex_constants::__polynomial;

}  // namespace

bool LinePattern::Compile(const std::string& pattern, std::string* error) {
  try {
    // The pattern on its own first: its errors are the user's, worded for it.
    std::regex alone(pattern, kGrammar);
    // A search tries every start position, which is quadratic on long lines for
    // patterns such as "a*b". Anchoring "[^\n]*\(PATTERN\)" at the line start
    // finds the same lines in one pass: anchors test absolute positions, and a
    // pattern that compiled on its own has balanced groups. Lines never hold
    // "\n", so the prefix matches any run of characters, NUL included.
    search_ = std::regex(std::string("[^\n]*\\(") + pattern + "\\)", kGrammar);
    return true;
  } catch (const std::regex_error& e) {
    *error = e.code() == std::regex_constants::error_complexity
                 ? "back-references are not supported"
                 : e.what();
    return false;
  }
}

bool LinePattern::Matches(const std::string& line) const {
  return std::regex_search(line, search_, std::regex_constants::match_continuous);
}
