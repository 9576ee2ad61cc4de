#include "sim/SimVisaPattern.h"

#include <cctype>
#include <vector>

namespace sim {
namespace {

struct Token {
  enum Kind { kLiteral, kAny, kList } kind = kLiteral;
  std::string characters;  // literal or list, upper case
  bool negated = false;
  int minimum = 1;  // 0 with '*', 1 otherwise
  bool repeated = false;
};

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool Compile(const std::string& pattern, std::vector<Token>& tokens) {
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '*' || c == '+') {
      if (tokens.empty() || tokens.back().repeated) {
        return false;
      }
      tokens.back().repeated = true;
      tokens.back().minimum = (c == '*') ? 0 : 1;
      continue;
    }
    Token token;
    if (c == '?') {
      token.kind = Token::kAny;
    } else if (c == '[') {
      token.kind = Token::kList;
      ++i;
      if (i < pattern.size() && pattern[i] == '^') {
        token.negated = true;
        ++i;
      }
      while (i < pattern.size() && pattern[i] != ']') {
        if (pattern[i] == '\\' && i + 1 < pattern.size()) {
          ++i;
        }
        const char first = pattern[i];
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
          const char last = pattern[i + 2];
          if (last < first) {
            return false;
          }
          for (int c = first; c <= last; ++c) {
            token.characters += Upper(static_cast<char>(c));
          }
          i += 3;
          continue;
        }
        token.characters += Upper(first);
        ++i;
      }
      if (i >= pattern.size() || token.characters.empty()) {
        return false;
      }
    } else if (c == '\\') {
      if (i + 1 >= pattern.size()) {
        return false;
      }
      token.characters = Upper(pattern[++i]);
    } else if (c == '(' || c == ')' || c == ']') {
      return false;  // grouping is not offered
    } else {
      token.characters = Upper(c);
    }
    tokens.push_back(token);
  }
  return !tokens.empty();
}

bool Accepts(const Token& token, char c) {
  char u = Upper(c);
  switch (token.kind) {
    case Token::kAny:
      return true;
    case Token::kLiteral:
      return token.characters[0] == u;
    case Token::kList:
      return (token.characters.find(u) != std::string::npos) != token.negated;
  }
  return false;
}

bool MatchFrom(const std::vector<Token>& tokens, size_t t, const std::string& text, size_t pos) {
  if (t == tokens.size()) {
    return pos == text.size();
  }
  const Token& token = tokens[t];
  if (!token.repeated) {
    return pos < text.size() && Accepts(token, text[pos]) && MatchFrom(tokens, t + 1, text, pos + 1);
  }
  size_t run = 0;
  while (pos + run < text.size() && Accepts(token, text[pos + run])) {
    ++run;
  }
  for (size_t taken = run + 1; taken-- > 0;) {
    if (static_cast<int>(taken) >= token.minimum && MatchFrom(tokens, t + 1, text, pos + taken)) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> SplitAlternatives(const std::string& pattern) {
  std::vector<std::string> parts(1);
  bool inList = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '\\' && i + 1 < pattern.size()) {
      parts.back() += c;
      parts.back() += pattern[++i];
      continue;
    }
    if (c == '[') inList = true;
    if (c == ']') inList = false;
    if (c == '|' && !inList) {
      parts.emplace_back();
      continue;
    }
    parts.back() += c;
  }
  return parts;
}

}  // namespace

PatternResult MatchVisaPattern(const std::string& pattern, const std::string& text) {
  bool matched = false;
  for (const std::string& alternative : SplitAlternatives(pattern)) {
    std::vector<Token> tokens;
    if (!Compile(alternative, tokens)) {
      return PatternResult::kInvalid;
    }
    matched = matched || MatchFrom(tokens, 0, text, 0);
  }
  return matched ? PatternResult::kMatch : PatternResult::kNoMatch;
}

}  // namespace sim
