#pragma once
// Texts as the tests read them.
#include <cstddef>
#include <string>

// Names on the platform compare without regard to ASCII letter case.
inline std::string LowerAscii(const std::string& text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// How often part stands in text (overlapping occurrences counted).
inline size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}
