#include "app/HeadlessRun.h"

#include <ctime>

#include "app/BaselineRun.h"
#include "app/Console.h"
#include "app/LayerCatalogue.h"
#include "app/ReportExport.h"
#include "platform/Platform.h"
#include "report/CheckRunner.h"

namespace {

CLayerOutcome RunLayer(const CLayerEntry& layer, const CCheckRunner& runner, const std::string& windowText) {
  CLayerOutcome outcome;
  outcome.name = layer.name;
  const size_t from = windowText.size();
  outcome.error = runner.Run(layer.makeCheck, [&outcome](CLayerCheck& check) {
    outcome.findings = check.Findings().Root();
    outcome.errors = check.Findings().Errors();
  });
  outcome.text = windowText.substr(from);
  return outcome;
}

std::string IsoLocalTime() {
  IClock* clock = GetPlatform().clock;
  std::tm now = {};
  if (clock == nullptr || !clock->LocalTime(now)) return std::string();
  char stamp[32] = {};
  if (std::strftime(stamp, sizeof(stamp), "%Y-%m-%dT%H:%M:%S", &now) == 0) return std::string();
  return stamp;
}

int Fail(const std::string& problem) {
  Say("benchsentry: " + problem + "\r\n", true);
  return kExitRunFailed;
}

// Where a report is written before it takes the place of the file it replaces.
std::string PartialFileName(const std::string& path) { return path + ".partial"; }

struct COutputFile {
  const char* option;
  const std::string* path;
};

}  // namespace

CDiagnoseAllResult RunDiagnoseAll() {
  CDiagnoseAllResult result;
  result.started = IsoLocalTime();
  result.document = std::string(kReportHead) + kReportTitle;
  CTextWindow window(result.windowText);
  CRunTarget target;
  target.window = &window;
  target.windowMode = kModePlain;
  target.document = &result.document;
  target.documentMode = kModeMarkup;
  const CCheckRunner runner(target);
  for (const CLayerEntry& layer : kLayers) result.layers.push_back(RunLayer(layer, runner, result.windowText));
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
    case RunMode::DiagnoseAll:
      break;
  }

  // A baseline that cannot be used is found before the run, as an unwritable file is.
  CBaselineComparison comparison;
  const bool compared = !options.baselineFile.empty();
  if (compared && !ReadBaseline(options.baselineFile, "baseline", comparison)) return kExitBadReport;

  IFileSystem* files = GetPlatform().files;
  const COutputFile outputs[] = {{"/html", &options.htmlFile},
                                 {"/text", &options.textFile},
                                 {"/json", &options.jsonFile}};
  // A file that cannot be written is found before a run of minutes, not after
  // it, and without touching the file it is to replace: its new version is
  // written beside it first.
  for (const COutputFile& output : outputs) {
    if (output.path->empty()) continue;
    const std::string partial = PartialFileName(*output.path);
    FileHandle file = files != nullptr ? files->CreateForWrite(partial.c_str()) : nullptr;
    if (file == nullptr) return Fail("cannot write the file \"" + *output.path + "\" (" + output.option + ")");
    files->Close(file);
    files->DeleteFile(partial.c_str());
  }

  CDiagnoseAllResult result = RunDiagnoseAll();
  nlohmann::ordered_json report = DiagnoseAllReport(result);
  if (compared) {
    comparison.changes = CompareReports(comparison.baseline.report, report, options.toleranceDb);
    WriteChangesSection(comparison, result.windowText, result.document);
    AddComparison(report, comparison);
  }
  const std::string contents[] = {result.document, result.windowText, JsonText(report)};
  for (size_t i = 0; i < 3; ++i) {
    const std::string& path = *outputs[i].path;
    if (path.empty()) continue;
    // An existing report is only ever replaced by a whole new one.
    const std::string partial = PartialFileName(path);
    if (WriteTextFile(*files, partial.c_str(), contents[i]) != WriteStatus::Ok ||
        !files->MoveFileReplacing(partial.c_str(), path.c_str())) {
      files->DeleteFile(partial.c_str());
      return Fail("the file \"" + path + "\" (" + outputs[i].option + ") could not be written");
    }
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
