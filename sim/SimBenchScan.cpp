#include "sim/SimBenchScan.h"

#include <cstdio>
#include <vector>

namespace sim {
namespace {

bool IsBare(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '-';
}

class CKeyScan {
 public:
  explicit CKeyScan(const std::string& text) : m_text(text) {}

  int TrapLine() const { return m_trapLine; }
  const std::string& Trap() const { return m_trap; }

  int Run() {
    bool statementStart = true;  // a header or a key may come
    bool keyPosition = true;     // a key may come (also inside an inline table)
    int valueDepth = -1;         // depth of the key whose value comes next
    bool elementDue = false;     // an array's next element comes (after "[" or ",")
    while (m_at < m_text.size()) {
      const char c = m_text[m_at];
      if (c == ' ' || c == '\t' || c == '\r') {
        ++m_at;
      } else if (c == '\n') {
        ++m_at;
        ++m_line;
        if (m_levels.empty()) statementStart = keyPosition = true;
      } else if (c == '#') {
        while (m_at < m_text.size() && m_text[m_at] != '\n') ++m_at;
      } else if (statementStart && m_levels.empty() && c == '[') {
        ++m_at;
        const bool array = m_at < m_text.size() && m_text[m_at] == '[';
        if (array) ++m_at;
        SkipBlanks();
        // The parser takes what follows for a key without looking (an assertion
        // of its debug build, undefined behaviour of its release build); "[ [" it refuses.
        if (m_at < m_text.size() && !IsBare(m_text[m_at]) && std::string("\"']").find(m_text[m_at]) == std::string::npos &&
            (m_text[m_at] != '[' || array)) {
          SetTrap(m_line, "a table header must start with a key");
        }
        m_tableDepth = Chain();
        if (m_tableDepth > kMaxKeyDepth) return m_line;
        statementStart = keyPosition = false;
      } else if (keyPosition && (IsBare(c) || c == '"' || c == '\'')) {
        elementDue = false;
        const int line = m_line;
        const int depth = Base() + Chain();
        if (depth > kMaxKeyDepth) return line;
        SkipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == '=') {
          ++m_at;
          valueDepth = depth;
        }
        statementStart = keyPosition = false;
      } else if (c == '{' || c == '[') {
        // A value opens a level: the table or array of its key, or an element.
        const int depth = valueDepth >= 0 ? valueDepth : Base() + 1;
        if (depth > kMaxKeyDepth) return m_line;
        m_levels.push_back({c, depth});
        ++m_at;
        elementDue = (c == '[');
        keyPosition = (c == '{');
        valueDepth = -1;
        statementStart = false;
      } else if (c == '}' || c == ']') {
        // The parser reads the "}" where an element is due as a value without
        // looking (an assertion of its debug build, undefined behaviour of its release build).
        if (c == '}' && elementDue) SetTrap(m_line, "an array's element is missing before \"}\"");
        elementDue = false;
        if (!m_levels.empty()) m_levels.pop_back();
        ++m_at;
        keyPosition = statementStart = false;
      } else if (c == ',') {
        ++m_at;
        keyPosition = !m_levels.empty() && m_levels.back().bracket == '{';
        elementDue = !m_levels.empty() && m_levels.back().bracket == '[';
        valueDepth = -1;
      } else {
        const bool valueStart = valueDepth >= 0 || elementDue;
        elementDue = false;
        if (c == '"' || c == '\'') {
          SkipString(false);
        } else if (valueStart) {
          // A value that is no string (a number, a date, a word) is read up to
          // what ends a value, quotes included, and the parser asks of each
          // character whether it ends it.
          while (m_at < m_text.size() && std::string(" \t\r\n]},#").find(m_text[m_at]) == std::string::npos) {
            Stray(m_text[m_at]);
            ++m_at;
          }
        } else {
          Stray(c);
          ++m_at;
        }
        keyPosition = statementStart = false;
        valueDepth = -1;
      }
    }
    return 0;
  }

 private:
  struct Level {
    char bracket;
    int depth;
  };

  int Base() const { return m_levels.empty() ? m_tableDepth : m_levels.back().depth; }

  void SkipBlanks() {
    while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t')) ++m_at;
  }

  // The parts of a dotted key: bare words and quoted strings between points.
  int Chain() {
    int parts = 0;
    for (;;) {
      SkipBlanks();
      if (m_at >= m_text.size()) break;
      const char c = m_text[m_at];
      if (c == '"' || c == '\'') {
        SkipString(true);
      } else if (IsBare(c)) {
        while (m_at < m_text.size() && IsBare(m_text[m_at])) ++m_at;
      } else {
        break;
      }
      ++parts;
      SkipBlanks();
      if (m_at >= m_text.size() || m_text[m_at] != '.') break;
      ++m_at;
    }
    return parts;
  }

  // From an opening quote past the closing one; multi-line strings count their lines.
  // key: a quoted key, which the parser reads as it reads bare text.
  void SkipString(bool key) {
    const char quote = m_text[m_at];
    const bool basic = quote == '"';
    const bool multiLine = m_text.compare(m_at, 3, std::string(3, quote)) == 0;
    m_at += multiLine ? 3 : 1;
    while (m_at < m_text.size()) {
      const char c = m_text[m_at];
      if (key) Stray(c);
      if (basic && c == '\\') {
        if (multiLine) AfterBackslash();
        if (m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n') ++m_line;
        m_at += 2;
        continue;
      }
      if (c == '\n') {
        if (!multiLine) return;  // unterminated: the parser says so
        ++m_line;
      }
      if (c == quote && (!multiLine || m_text.compare(m_at, 3, std::string(3, quote)) == 0)) {
        m_at += multiLine ? 3 : 1;
        // A multi-line string may end in up to two further quotes of its own.
        while (multiLine && m_at < m_text.size() && m_text[m_at] == quote) ++m_at;
        return;
      }
      ++m_at;
    }
  }

  // The parser's test for whitespace beyond ASCII reaches a point its compiler
  // takes as unreachable for most characters (undefined behaviour): they may
  // stand only where it never asks, inside strings and comments.
  void Stray(char c) {
    if (static_cast<unsigned char>(c) >= 0x80) SetTrap(m_line, NonAscii(c));
  }

  static std::string NonAscii(char c) {
    char byte[8] = {};
    std::snprintf(byte, sizeof(byte), "0x%02X", static_cast<unsigned char>(c));
    return std::string("a character beyond ASCII (byte ") + byte +
           ") is allowed only in strings and comments, and not first after a backslash";
  }

  void SetTrap(int line, const std::string& problem) {
    if (m_trapLine != 0) return;
    m_trapLine = line;
    m_trap = problem;
  }

  // In a multi-line basic string it asks of the character after a backslash,
  // and after a line-ending backslash of the first one past the blanks and lines.
  void AfterBackslash() {
    size_t at = m_at + 1;
    int line = m_line;
    bool lineEnding = false;
    while (at < m_text.size() && (m_text[at] == ' ' || m_text[at] == '\t' || m_text[at] == '\r' || m_text[at] == '\n')) {
      if (m_text[at] == '\n') {
        lineEnding = true;
        ++line;
      }
      ++at;
    }
    if (at < m_text.size() && (lineEnding || at == m_at + 1) && static_cast<unsigned char>(m_text[at]) >= 0x80) {
      SetTrap(line, NonAscii(m_text[at]));
    }
  }

  const std::string& m_text;
  size_t m_at = 0;
  int m_line = 1;
  int m_tableDepth = 0;
  std::vector<Level> m_levels;
  int m_trapLine = 0;
  std::string m_trap;
};

}  // namespace

int FindTooDeepKey(const std::string& text) { return CKeyScan(text).Run(); }

int FindParserTrap(const std::string& text, std::string& problem) {
  CKeyScan scan(text);
  scan.Run();
  problem = scan.Trap();
  return scan.TrapLine();
}

int FindControlCharacter(const std::string& text, unsigned char& found) {
  int line = 1;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\n') {
      ++line;
    } else if ((byte < 0x20 && byte != '\t' && byte != '\r') || byte == 0x7F) {
      found = byte;
      return line;
    }
  }
  return 0;
}

}  // namespace sim
