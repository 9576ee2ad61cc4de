#include "app/JsonReport.h"

#include "app/TraceReport.h"
#include "app/Version.h"

const char kToolName[] = "benchsentry";
const char kToolVersion[] = BS_VERSION_TEXT;

int CDiagnoseAllResult::FailedLayers() const {
  int failed = 0;
  for (const CLayerOutcome& layer : layers) failed += layer.error != 0 ? 1 : 0;
  return failed;
}

nlohmann::ordered_json JsonReportHead(const std::string& started) {
  namespace Report = Finding::Report;
  nlohmann::ordered_json root;
  root[Report::format.key] = kJsonFormat;
  root[Report::tool.key] = {{Finding::Tool::name.key, kToolName}, {Finding::Tool::version.key, kToolVersion}};
  root[Report::started.key] = started;
  return root;
}

nlohmann::ordered_json OutcomeJson(const CLayerOutcome& outcome, bool withName) {
  using Json = nlohmann::ordered_json;
  namespace Run = Finding::LayerRun;
  Json json;
  if (withName) json[Run::name.key] = outcome.name;
  json[Run::verdict.key] = outcome.error != 0 ? "failed" : "ok";
  json[Run::error_code.key] = outcome.error;
  json[Run::report.key] = Latin1ToUtf8(outcome.text);
  for (auto it = outcome.findings.begin(); it != outcome.findings.end(); ++it) json[it.key()] = it.value();
  return json;
}

nlohmann::ordered_json DiagnoseAllReport(const CDiagnoseAllResult& result) {
  using Json = nlohmann::ordered_json;
  namespace Report = Finding::Report;
  Json root = JsonReportHead(result.started);
  root[Report::failed_layers.key] = result.FailedLayers();
  Json layers = Json::array();
  for (const CLayerOutcome& outcome : result.layers) {
    Json layer = OutcomeJson(outcome, true);
    Json& errors = layer[Finding::LayerRun::errors.key] = Json::array();
    for (const std::string& line : outcome.errors) errors.push_back(Latin1ToUtf8(line));
    layer[Finding::LayerRun::io.key] = LayerCallsJson(outcome.calls, outcome.errorCalls);
    layers.push_back(std::move(layer));
  }
  root[Report::layers.key] = std::move(layers);
  if (result.visa) root[Report::visa_libraries.key] = OutcomeJson(*result.visa, false);
  return root;
}

std::string JsonText(const nlohmann::ordered_json& report) { return report.dump(2) + "\n"; }

std::string DiagnoseAllJson(const CDiagnoseAllResult& result) { return JsonText(DiagnoseAllReport(result)); }
