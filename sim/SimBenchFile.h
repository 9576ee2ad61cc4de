#pragma once
// Reading a bench file (TOML). A file that is not exactly right is refused
// with a message naming the file, the line and the problem; nothing is guessed.
#include <string>

#include "sim/SimBench.h"

namespace sim {

// fileName is used in messages only.
bool ReadBenchText(const std::string& text, const std::string& fileName, SimBench& bench,
                   std::string& error);
bool ReadBenchFile(const std::string& path, SimBench& bench, std::string& error);

// The bench used when none is named; the same text as benches/default.toml.
const char* DefaultBenchText();
constexpr const char* kDefaultBenchName = "default.toml (embedded)";

}  // namespace sim
