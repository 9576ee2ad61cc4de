// Any command line: options, or the usage, or a refusal that says why.
#include <cmath>

#include "app/CommandLine.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The system hands the program a NUL-terminated line.
  const CRunOptions options = ParseCommandLine(FuzzBytes(data, size).c_str());
  FuzzExpect((options.mode == RunMode::Invalid) == !options.problem.empty(), "a refused line says why",
             options.problem);
  FuzzExpect(std::isfinite(options.toleranceDb) && options.toleranceDb >= 0, "a tolerance of decibels",
             std::to_string(options.toleranceDb));
  return 0;
}
