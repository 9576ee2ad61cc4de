// Any bench file of the simulated bench: a bench, or a refusal naming the file,
// the line and the problem.
#include "sim/SimBenchFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::SimBench bench;
  std::string error;
  if (sim::ReadBenchText(FuzzBytes(data, size), "fuzz.toml", bench, error)) return 0;
  FuzzExpect(error.rfind("bench file \"fuzz.toml\", line ", 0) == 0, "a refusal names the file and the line", error);
  return 0;
}
