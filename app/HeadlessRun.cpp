#include "app/HeadlessRun.h"

#include <cstdio>
#include <ctime>

#include <nlohmann/json.hpp>

#include "app/BaselineRun.h"
#include "app/LayerCatalogue.h"
#include "app/ReportExport.h"
#include "app/TraceReport.h"
#include "app/VisaReport.h"
#include "app/Version.h"
#include "platform/Platform.h"
#include "report/CheckRunner.h"

const char kToolName[] = "benchsentry";
const char kToolVersion[] = BS_VERSION_TEXT;

namespace {

// The report window of a run without a window: every insert appends, as the
// caret stays at the end.
class CTextWindow : public IReportWindow {
 public:
  void ReplaceSelection(const char* text) override { m_text += text; }
  const std::string& Text() const { return m_text; }

 private:
  std::string m_text;
};

}  // namespace

std::string IsoLocalTime() {
  IClock* clock = GetPlatform().clock;
  std::tm now = {};
  if (clock == nullptr || !clock->LocalTime(now)) return std::string();
  char stamp[32] = {};
  if (std::strftime(stamp, sizeof(stamp), "%Y-%m-%dT%H:%M:%S", &now) == 0) return std::string();
  return stamp;
}

CLayerOutcome RunCheckWithoutWindow(const char* name, const CCheckRunner::MakeCheck& make, std::string& windowText,
                                    ReportDocument& document) {
  CTextWindow window;
  CRunTarget target;
  target.window = &window;
  target.windowMode = kModePlain;
  target.document = &document;
  target.documentMode = kModeMarkup;
  CLayerOutcome outcome;
  outcome.name = name;
  CCallTrace::ResetStats();
  outcome.error = CCheckRunner(target).Run(make, [&outcome](CLayerCheck& check) {
    outcome.findings = check.Findings().Root();
    outcome.calls = CCallTrace::Stats();
    outcome.errorCalls = check.ErrorCalls();
  });
  outcome.text = window.Text();
  windowText += window.Text();
  return outcome;
}

void SayOnConsole(const std::string& text, bool error) {
  IShell* shell = GetPlatform().shell;
  if (shell != nullptr) shell->WriteToConsole(text.c_str(), error);
}

namespace {

void Say(const std::string& text, bool error) { SayOnConsole(text, error); }

bool Fail(const std::string& problem) {
  Say("benchsentry: " + problem + "\r\n", true);
  return false;
}

// Where a report is written before it takes the place of the file it replaces.
std::string PartialFileName(const std::string& path) { return path + ".partial"; }

struct COutputFile {
  const char* option;
  const std::string* path;
};

std::vector<COutputFile> Outputs(const CRunOptions& options) {
  return {{"/html", &options.htmlFile},
          {"/text", &options.textFile},
          {"/json", &options.jsonFile},
          {"/trace", &options.traceFile}};
}

}  // namespace

int CDiagnoseAllResult::FailedLayers() const {
  int failed = 0;
  for (const CLayerOutcome& layer : layers) failed += layer.error != 0 ? 1 : 0;
  return failed;
}

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

nlohmann::ordered_json JsonReportHead(const std::string& started) {
  nlohmann::ordered_json root;
  root["format"] = kJsonFormat;
  root["tool"] = {{"name", kToolName}, {"version", kToolVersion}};
  root["started"] = started;
  return root;
}

nlohmann::ordered_json OutcomeJson(const CLayerOutcome& outcome, bool withName) {
  nlohmann::ordered_json json;
  if (withName) json["name"] = outcome.name;
  json["verdict"] = outcome.error != 0 ? "failed" : "ok";
  json["error_code"] = outcome.error;
  json["report"] = Latin1ToUtf8(outcome.text);
  for (auto it = outcome.findings.begin(); it != outcome.findings.end(); ++it) json[it.key()] = it.value();
  return json;
}

std::string DiagnoseAllJson(const CDiagnoseAllResult& result) {
  using Json = nlohmann::ordered_json;
  Json root = JsonReportHead(result.started);
  root["failed_layers"] = result.FailedLayers();
  Json layers = Json::array();
  for (const CLayerOutcome& outcome : result.layers) {
    Json layer = OutcomeJson(outcome, true);
    layer["io"] = LayerCallsJson(outcome.calls, outcome.errorCalls);
    layers.push_back(layer);
  }
  root["layers"] = layers;
  if (result.visa) root["visa_libraries"] = OutcomeJson(*result.visa, false);
  return root.dump(2) + "\n";
}

bool OutputsWritable(const CRunOptions& options) {
  IFileSystem* files = GetPlatform().files;
  for (const COutputFile& output : Outputs(options)) {
    if (output.path->empty()) continue;
    const std::string partial = PartialFileName(*output.path);
    FileHandle file = files != nullptr ? files->CreateForWrite(partial.c_str()) : nullptr;
    if (file == nullptr) return Fail("cannot write the file \"" + *output.path + "\" (" + output.option + ")");
    files->Close(file);
    files->DeleteFile(partial.c_str());
  }
  return true;
}

bool WriteOutputs(const CRunOptions& options, const std::string& html, const std::string& text,
                  const std::string& json, const std::string& trace) {
  IFileSystem* files = GetPlatform().files;
  const std::string* contents[] = {&html, &text, &json, &trace};
  size_t i = 0;
  for (const COutputFile& output : Outputs(options)) {
    const std::string& path = *output.path;
    const std::string& content = *contents[i++];
    if (path.empty()) continue;
    // An existing report is only ever replaced by a whole new one.
    const std::string partial = PartialFileName(path);
    if (files == nullptr || WriteTextFile(*files, partial.c_str(), content) != WriteStatus::Ok ||
        !files->MoveFileReplacing(partial.c_str(), path.c_str())) {
      if (files != nullptr) files->DeleteFile(partial.c_str());
      return Fail("the file \"" + path + "\" (" + output.option + ") could not be written");
    }
  }
  return true;
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
  std::string json = DiagnoseAllJson(result);
  if (compared) {
    comparison.changes = CompareReports(comparison.baseline.report, nlohmann::json::parse(json, nullptr, false),
                                        options.toleranceDb);
    WriteChangesSection(comparison, result.windowText, result.document);
    json = JsonWithChanges(json, comparison);
  }
  if (!WriteOutputs(options, result.document, result.windowText, json,
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
