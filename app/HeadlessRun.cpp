#include "app/HeadlessRun.h"

#include "app/BaselineRun.h"
#include "app/Console.h"
#include "app/LayerCatalogue.h"
#include "app/ReportExport.h"
#include "app/RunOutputs.h"
#include "app/TraceReport.h"
#include "app/VisaReport.h"
#include "platform/Platform.h"

CDiagnoseAllResult RunDiagnoseAll(CTraceLog* trace) {
  CDiagnoseAllResult result;
  result.started = IsoLocalTime();
  const CTraceSession session(trace);
  result.document = std::string(kReportHead) + kReportTitle;
  for (const CLayerEntry& layer : kLayers) {
    result.layers.push_back(RunCheckWithoutWindow(layer.name, layer.makeCheck, result.windowText, result.document));
  }
  result.visa = RunVisaLibrariesAlone().outcome;
  return result;
}

int RunFromCommandLine(const CRunOptions& options) {
  switch (options.mode) {
    case RunMode::Interactive:
      return 0;
    case RunMode::Usage: {
      IShell* shell = GetPlatform().shell;
      // Asked for by a person: without a console the usage gets a window.
      if (shell != nullptr && !shell->WriteToConsole(kUsageText, false)) {
        shell->MessageBox(nullptr, kUsageText, kToolName, kMbOk);
      }
      return kExitUsage;
    }
    case RunMode::Invalid:
      Say(std::string("benchsentry: ") + options.problem + "\r\n\r\n" + kUsageText, true);
      return kExitRunFailed;
    case RunMode::Compare:
      return RunCompare(options);
    case RunMode::Io:
      return RunIoCommand(options.io);
    case RunMode::VisaLibraries:
      return RunVisaLibrariesCommand(options);
    case RunMode::DiagnoseAll:
      break;
  }

  // A baseline that cannot be used is found before the run, as an unwritable file is.
  CBaselineComparison comparison;
  const bool compared = !options.baselineFile.empty();
  if (compared && !ReadBaseline(options.baselineFile, "baseline", comparison)) return kExitBadReport;

  if (!OutputsWritable(options)) return kExitRunFailed;
  CTraceLog trace;
  CDiagnoseAllResult result = RunDiagnoseAll(options.traceFile.empty() ? nullptr : &trace);
  nlohmann::ordered_json report = DiagnoseAllReport(result);
  if (compared) {
    comparison.changes = CompareReports(comparison.baseline.report, report, options.toleranceDb);
    WriteChangesSection(comparison, result.windowText, result.document);
    AddComparison(report, comparison);
  }
  if (!WriteOutputs(options, result.document, result.windowText, JsonText(report),
                    options.traceFile.empty() ? std::string() : trace.Text(RunTraceNotes(result.started)))) {
    return kExitRunFailed;
  }

  std::string summary;
  for (const CLayerOutcome& layer : result.layers) {
    summary += layer.name + " layer: " + (layer.error != 0 ? "FAILED (" + std::to_string(layer.error) + ")" : "OK") + "\r\n";
  }
  summary += std::to_string(result.FailedLayers()) + " of " + std::to_string(result.layers.size()) +
             " layers failed\r\n";
  if (compared) summary += ChangesConsoleText(comparison);
  Say(summary, false);
  return compared ? ExitCodeWithBaseline(result.FailedLayers(), comparison) : result.FailedLayers();
}
