#include "tests/unit/instrument/InstrumentTestSupport.h"

#include <cstdio>

std::string BenchOfMainframes(int count, const std::string& addressPattern) {
  std::string toml = "format_version = 1\n";
  for (int i = 1; i <= count; ++i) {
    char address[256] = {};
    std::snprintf(address, sizeof(address), addressPattern.c_str(), i);
    toml += "[[mainframe]]\naddress = \"" + std::string(address) +
            "\"\nidentification = \"Velmora Technologies,VT7412A,DE" + std::to_string(1000 + i) +
            ",V3.12\"\n"
            "[[mainframe.slot]]\nslot = 0\ntype = 5\nidentification = \"Velmora Technologies,VT7451B,L" +
            std::to_string(i) +
            ",V2.40\"\n"
            "[[mainframe.slot]]\nslot = 1\ntype = 1\nidentification = \"Velmora Technologies,VT7462A,P" +
            std::to_string(i) + ",V1.08\"\ndark = 1.0e-10\nlit = 1.0e-3\n";
  }
  return toml;
}
