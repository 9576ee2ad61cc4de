#include "sim/SimAddress.h"

#include <cctype>

namespace sim {
namespace {

bool ConsumeWord(const std::string& text, size_t& pos, const char* word) {
  size_t i = 0;
  for (; word[i] != '\0'; ++i) {
    if (pos + i >= text.size() ||
        std::toupper(static_cast<unsigned char>(text[pos + i])) != word[i]) {
      return false;
    }
  }
  pos += i;
  return true;
}

// At most three digits, so no overflow; returns -1 when there are none.
int ConsumeNumber(const std::string& text, size_t& pos) {
  int value = 0;
  size_t digits = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && digits < 3) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  if (digits == 0 || (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))) {
    return -1;
  }
  return value;
}

}  // namespace

bool ParseGpibAddress(const std::string& text, SimGpibAddress& address) {
  size_t pos = 0;
  if (!ConsumeWord(text, pos, "GPIB")) {
    return false;
  }
  SimGpibAddress parsed;
  if (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    parsed.board = ConsumeNumber(text, pos);
    if (parsed.board < 0) {
      return false;
    }
  }
  if (!ConsumeWord(text, pos, "::")) {
    return false;
  }
  parsed.primary = ConsumeNumber(text, pos);
  if (parsed.primary < 0 || parsed.primary > 30) {
    return false;
  }
  if (pos < text.size() && ConsumeWord(text, pos, "::")) {
    if (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
      parsed.secondary = ConsumeNumber(text, pos);
      if (parsed.secondary < 0 || parsed.secondary > 30) {
        return false;
      }
      if (pos < text.size() && !ConsumeWord(text, pos, "::")) {
        return false;
      }
    }
    if (pos < text.size() && !ConsumeWord(text, pos, "INSTR")) {
      return false;
    }
    if (pos == text.size() && text.compare(text.size() - 2, 2, "::") == 0) {
      return false;
    }
  }
  if (pos != text.size()) {
    return false;
  }
  address = parsed;
  return true;
}

std::string CanonicalAddress(const SimGpibAddress& address) {
  std::string text = "GPIB" + std::to_string(address.board) + "::" + std::to_string(address.primary);
  if (address.secondary >= 0) {
    text += "::" + std::to_string(address.secondary);
  }
  return text + "::INSTR";
}

std::string AddressKey(const std::string& text) {
  SimGpibAddress address;
  return ParseGpibAddress(text, address) ? CanonicalAddress(address) : std::string();
}

}  // namespace sim
