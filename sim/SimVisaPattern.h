#pragma once
// The regular expressions of viFindRsrc: '?' any character, '[...]' and
// '[^...]' character lists (with ranges like 0-9), '*' and '+' repeating what precedes them, '\'
// quoting the next character, '|' between alternatives. Case-insensitive.
#include <string>

namespace sim {

enum class PatternResult { kMatch, kNoMatch, kInvalid };

PatternResult MatchVisaPattern(const std::string& pattern, const std::string& text);

}  // namespace sim
