#pragma once
// Names on the platform compare without regard to ASCII letter case.
#include <string>

inline std::string LowerAscii(const std::string& text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}
