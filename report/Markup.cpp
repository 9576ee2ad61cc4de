#include "report/Markup.h"

#include <cstring>

void MarkupToText(const char* source, char* destination) {
  bool inside = false;
  size_t out = 0;
  for (size_t i = 0; source[i] != '\0'; ++i) {
    if (i > 0 && source[i - 1] == '>') inside = false;
    if (source[i] == '<') {
      inside = true;
    } else if (!inside) {
      destination[out++] = source[i];
    }
  }
  destination[out] = '\0';
}

std::string MarkupToText(const std::string& source) {
  std::string plain(source.size() + 1, '\0');
  MarkupToText(source.c_str(), &plain[0]);
  plain.resize(std::strlen(plain.c_str()));
  return plain;
}

std::string EscapeMarkup(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '&': escaped += "&amp;"; break;
      default: escaped += c; break;
    }
  }
  return escaped;
}
