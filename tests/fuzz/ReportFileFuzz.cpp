// Any file named as a baseline: read as a report, or refused with a message
// that names the file.
#include "app/BaselineRun.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CFuzzMachine machine;
  const std::string path = "C:\\reports\\good.json";
  machine.files.AddFile(path, FuzzBytes(data, size));
  CBaselineComparison comparison;
  if (!ReadBaseline(path, "baseline", comparison)) {
    FuzzExpect(machine.shell.ConsoleErrors().find(path) != std::string::npos, "a refused baseline is named",
               machine.shell.ConsoleErrors());
    return 0;
  }
  ChangesConsoleText(comparison);
  return 0;
}
