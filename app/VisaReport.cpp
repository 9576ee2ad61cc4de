#include "app/VisaReport.h"

#include <memory>

#include <nlohmann/json.hpp>

#include "app/BaselineRun.h"
#include "app/Console.h"
#include "app/ReportExport.h"
#include "app/RunOutputs.h"
#include "instrument/VisaLibrariesCheck.h"

CVisaRun RunVisaLibrariesAlone() {
  CVisaRun run;
  run.document = std::string(kReportHead) + kReportTitle;
  run.outcome = RunCheckWithoutWindow(
      kVisaLibrariesTitle, [] { return std::unique_ptr<CLayerCheck>(new CVisaLibrariesCheck()); }, run.windowText,
      run.document);
  return run;
}

std::string VisaLibrariesJson(const CVisaRun& run, const std::string& started) {
  nlohmann::ordered_json root = JsonReportHead(started);
  root[Finding::Report::visa_libraries.key] = OutcomeJson(run.outcome, false);
  return JsonText(root);
}

int RunVisaLibrariesCommand(const CRunOptions& options) {
  if (!OutputsWritable(options)) return kExitRunFailed;
  const std::string started = IsoLocalTime();
  const CVisaRun run = RunVisaLibrariesAlone();
  if (!WriteOutputs(options, run.document, run.windowText, VisaLibrariesJson(run, started))) return kExitRunFailed;
  std::string summary = std::string(kVisaLibrariesTitle) + ": " +
                        (run.outcome.error != 0 ? "FAILED (" + std::to_string(run.outcome.error) + ")" : "OK") +
                        "\r\n";
  // The warnings, as the report gives them, for whoever reads the console.
  const auto warnings = run.outcome.findings.find(Finding::VisaRun::warnings.key);
  if (warnings != run.outcome.findings.end()) {
    for (const auto& warning : *warnings) {
      summary += "  " + Utf8ToLatin1(warning.value(Finding::VisaWarning::text.key, std::string())) + "\r\n";
    }
  }
  Say(summary, false);
  return run.outcome.error != 0 ? 1 : 0;
}
