#pragma once
// GPIB resource names as VISA writes them: GPIB[board]::primary[::secondary][::INSTR].
#include <string>

namespace sim {

struct SimGpibAddress {
  int board = 0;
  int primary = 0;
  int secondary = -1;  // none
};

// False for anything that is not a GPIB INSTR resource name.
bool ParseGpibAddress(const std::string& text, SimGpibAddress& address);

// The canonical form, so that equivalent spellings compare equal.
std::string CanonicalAddress(const SimGpibAddress& address);

// Canonical form of a resource name, empty when it does not parse.
std::string AddressKey(const std::string& text);

}  // namespace sim
