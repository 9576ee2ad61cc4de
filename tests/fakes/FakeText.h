#pragma once
// Texts as the tests read them.
#include <cstddef>
#include <string>
#include <vector>

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

// The call lines of an I/O trace file, each cut at its tabs: the notes ("#")
// and the column titles left out, text-mode line ends taken as line ends.
inline std::vector<std::vector<std::string>> TraceRows(const std::string& bytes) {
  std::vector<std::vector<std::string>> rows;
  size_t start = 0;
  bool titles = true;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (titles) {
      titles = false;
      continue;
    }
    std::vector<std::string> columns(1);
    for (char c : line) {
      if (c == '\t') {
        columns.emplace_back();
      } else {
        columns.back() += c;
      }
    }
    rows.push_back(columns);
  }
  return rows;
}
