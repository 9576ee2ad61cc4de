#pragma once
// A look at a bench file's text before it is parsed: the TOML parser walks
// nested tables recursively, so a key of thousands of dotted parts would
// overflow the stack inside it. The scan itself is a single loop.
#include <string>

namespace sim {

constexpr int kMaxKeyDepth = 32;

// The line of the first key, table header or bracket nested deeper than
// kMaxKeyDepth levels; 0 when there is none. Whatever else is wrong with the
// text is left to the parser.
int FindTooDeepKey(const std::string& text);

// The line of the first control character other than tab, line feed and
// carriage return (TOML allows none, not even in strings or comments); 0 when
// there is none. The parser's debug build asserts on some of them instead of
// refusing them. found is the character.
int FindControlCharacter(const std::string& text, unsigned char& found);

// The line of the first place where the parser would not refuse bad text
// cleanly but assert (its debug build) or meet undefined behaviour: a table
// header that does not start with a key, a byte beyond ASCII outside a string
// or comment (TOML allows none there), in a quoted key, or where a multi-line
// basic string resumes after a backslash (there the parser asks whether it is
// whitespace, which its test cannot answer for most characters). 0 when there
// is none; problem says what it is.
int FindParserTrap(const std::string& text, std::string& problem);

}  // namespace sim
