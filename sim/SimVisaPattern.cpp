#include "sim/SimVisaPattern.h"

#include <algorithm>
#include <bitset>
#include <cctype>
#include <cstdint>
#include <utility>
#include <vector>

namespace sim {
namespace {

// One character class with its repetition. The pattern is a list of
// alternatives, each a list of tokens; a caller's pattern is untrusted, so it is
// matched by walking all tokens at once over the text: no backtracking, no
// recursion, time in the pattern's length times the text's.
struct Token {
  std::bitset<256> accepts;  // upper-case characters
  bool repeated = false;
  bool optional = false;  // '*': the token may match nothing
};

using Alternative = std::vector<Token>;

unsigned char Upper(unsigned char c) { return static_cast<unsigned char>(std::toupper(c)); }

class CPatternParser {
 public:
  explicit CPatternParser(const std::string& pattern) : m_pattern(pattern) {}

  bool Parse(std::vector<Alternative>& alternatives) {
    alternatives.assign(1, Alternative());
    while (m_at < m_pattern.size()) {
      const char c = m_pattern[m_at++];
      Alternative& current = alternatives.back();
      if (c == '|') {
        if (current.empty()) return false;
        alternatives.emplace_back();
      } else if (c == '*' || c == '+') {
        if (current.empty() || current.back().repeated) return false;
        current.back().repeated = true;
        current.back().optional = (c == '*');
      } else if (c == '(' || c == ')' || c == ']') {
        return false;  // grouping is not offered
      } else {
        Token token;
        if (!Single(c, token)) return false;
        current.push_back(token);
      }
    }
    return !alternatives.back().empty();
  }

 private:
  bool Single(char c, Token& token) {
    if (c == '?') {
      token.accepts.set();
      return true;
    }
    if (c == '[') return List(token);
    if (c == '\\') {
      if (m_at >= m_pattern.size()) return false;
      c = m_pattern[m_at++];
    }
    token.accepts.set(Upper(static_cast<unsigned char>(c)));
    return true;
  }

  // After '['. A '\' quotes the next character, except as the end of a range,
  // where it is the backslash itself: "[ -\]" ends at its ']'.
  bool List(Token& token) {
    bool negated = false;
    if (m_at < m_pattern.size() && m_pattern[m_at] == '^') {
      negated = true;
      ++m_at;
    }
    bool any = false;
    while (m_at < m_pattern.size() && m_pattern[m_at] != ']') {
      if (m_pattern[m_at] == '\\' && m_at + 1 < m_pattern.size()) ++m_at;
      const unsigned char first = static_cast<unsigned char>(m_pattern[m_at]);
      unsigned char last = first;
      if (m_at + 2 < m_pattern.size() && m_pattern[m_at + 1] == '-' && m_pattern[m_at + 2] != ']') {
        last = static_cast<unsigned char>(m_pattern[m_at + 2]);
        if (last < first) return false;
        m_at += 3;
      } else {
        ++m_at;
      }
      for (unsigned c = first; c <= last; ++c) token.accepts.set(Upper(static_cast<unsigned char>(c)));
      any = true;
    }
    if (m_at >= m_pattern.size() || !any) return false;
    ++m_at;  // ']'
    if (negated) token.accepts.flip();
    return true;
  }

  const std::string& m_pattern;
  size_t m_at = 0;
};

// The states a walk is in, each once: before token t, or (t = n) at the end.
class CStateSet {
 public:
  explicit CStateSet(size_t states) : m_marks(states, 0) {}

  // Adds state t and every state reachable from it without reading: past
  // tokens that may match nothing.
  void Enter(const Alternative& tokens, size_t t) {
    while (t <= tokens.size() && m_marks[t] != m_generation) {
      m_marks[t] = m_generation;
      m_list.push_back(t);
      if (t == tokens.size() || !tokens[t].optional) return;
      ++t;
    }
  }
  // Adds state t alone.
  void Stay(size_t t) {
    if (m_marks[t] == m_generation) return;
    m_marks[t] = m_generation;
    m_list.push_back(t);
  }
  void Clear() {
    m_list.clear();
    ++m_generation;
  }
  bool Has(size_t t) const { return m_marks[t] == m_generation; }
  const std::vector<size_t>& States() const { return m_list; }

 private:
  std::vector<uint32_t> m_marks;
  uint32_t m_generation = 1;
  std::vector<size_t> m_list;
};

bool Matches(const Alternative& tokens, const std::string& text) {
  const size_t n = tokens.size();
  CStateSet current(n + 1);
  CStateSet next(n + 1);
  current.Enter(tokens, 0);
  for (char character : text) {
    const unsigned char c = Upper(static_cast<unsigned char>(character));
    next.Clear();
    for (size_t t : current.States()) {
      if (t == n || !tokens[t].accepts.test(c)) continue;
      // A repeated token may take more characters, or be done with them.
      if (tokens[t].repeated) next.Stay(t);
      next.Enter(tokens, t + 1);
    }
    if (next.States().empty()) return false;
    std::swap(current, next);
  }
  return current.Has(n);
}

}  // namespace

PatternResult MatchVisaPattern(const std::string& pattern, const std::string& text) {
  std::vector<Alternative> alternatives;
  if (!CPatternParser(pattern).Parse(alternatives)) {
    return PatternResult::kInvalid;
  }
  for (const Alternative& alternative : alternatives) {
    if (Matches(alternative, text)) {
      return PatternResult::kMatch;
    }
  }
  return PatternResult::kNoMatch;
}

}  // namespace sim
