// Two reports (the input's bytes before and after its first NUL) compared as
// a run with /baseline compares them: changes out, on the console, in the
// report's last section and in the JSON report; /compare ends with 101 when
// either cannot be read.
#include "app/BaselineRun.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = FuzzBytes(data, size);
  const size_t split = bytes.find('\0');
  CFuzzMachine machine;
  CRunOptions options;
  options.mode = RunMode::Compare;
  options.baselineFile = "C:\\reports\\old.json";
  options.compareFile = "C:\\reports\\new.json";
  machine.files.AddFile(options.baselineFile, bytes.substr(0, split));
  machine.files.AddFile(options.compareFile, split == std::string::npos ? bytes : bytes.substr(split + 1));

  CBaselineComparison comparison, newer;
  if (!ReadBaseline(options.baselineFile, "baseline", comparison) || !ReadBaseline(options.compareFile, "report", newer)) {
    FuzzExpect(RunCompare(options) == kExitBadReport, "a report that cannot be read ends /compare with 101");
    return 0;
  }
  comparison.changes = CompareReports(comparison.baseline.report, newer.baseline.report, kDefaultToleranceDb);
  ChangesConsoleText(comparison);
  std::string window;
  WriteChangesSection(comparison, window, machine.document);
  nlohmann::ordered_json report = nlohmann::ordered_json::object();
  AddComparison(report, comparison);
  report.dump();
  return 0;
}
