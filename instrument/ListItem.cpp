#include "instrument/ListItem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int GetListItem(int index, const char* text, char separator, std::string& item) {
  item.clear();
  if (text == nullptr || index <= 0) return 1;
  int passed = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == separator) {
      if (++passed == index) break;
    } else if (passed == index - 1) {
      item += *p;
    }
  }
  return item.empty() ? 1 : 0;
}

int GetListItem(int index, const char* text, char separator, char* item, size_t size) {
  if (item == nullptr || size == 0) return 1;
  std::string whole;
  GetListItem(index, text, separator, whole);
  const size_t length = whole.size() < size - 1 ? whole.size() : size - 1;
  std::memcpy(item, whole.data(), length);
  item[length] = '\0';
  return length == 0 ? 1 : 0;
}

std::string FormatExponent(double value) {
  char text[64] = {};
  std::snprintf(text, sizeof(text), "%.6e", value);
  // Some C runtimes print two exponent digits, the bench PC's prints three.
  char* e = std::strchr(text, 'e');
  if (e == nullptr || (e[1] != '+' && e[1] != '-')) return text;  // inf, nan
  const long exponent = std::strtol(e + 2, nullptr, 10);
  char tail[16] = {};
  std::snprintf(tail, sizeof(tail), "%c%03ld", e[1], exponent);
  return std::string(text, static_cast<size_t>(e - text) + 1) + tail;
}
