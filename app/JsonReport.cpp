#include "app/JsonReport.h"

#include "app/Version.h"

const char kToolName[] = "benchsentry";
const char kToolVersion[] = BS_VERSION_TEXT;

int CDiagnoseAllResult::FailedLayers() const {
  int failed = 0;
  for (const CLayerOutcome& layer : layers) failed += layer.error != 0 ? 1 : 0;
  return failed;
}

nlohmann::ordered_json DiagnoseAllReport(const CDiagnoseAllResult& result) {
  using Json = nlohmann::ordered_json;
  namespace Report = Finding::Report;
  namespace Run = Finding::LayerRun;
  Json root;
  root[Report::format.key] = kJsonFormat;
  root[Report::tool.key] = {{Finding::Tool::name.key, kToolName}, {Finding::Tool::version.key, kToolVersion}};
  root[Report::started.key] = result.started;
  root[Report::failed_layers.key] = result.FailedLayers();
  Json layers = Json::array();
  for (const CLayerOutcome& outcome : result.layers) {
    Json layer;
    layer[Run::name.key] = outcome.name;
    layer[Run::verdict.key] = outcome.error != 0 ? "failed" : "ok";
    layer[Run::error_code.key] = outcome.error;
    layer[Run::report.key] = Latin1ToUtf8(outcome.text);
    for (auto it = outcome.findings.begin(); it != outcome.findings.end(); ++it) layer[it.key()] = it.value();
    Json& errors = layer[Run::errors.key] = Json::array();
    for (const std::string& line : outcome.errors) errors.push_back(Latin1ToUtf8(line));
    layers.push_back(std::move(layer));
  }
  root[Report::layers.key] = std::move(layers);
  return root;
}

std::string JsonText(const nlohmann::ordered_json& report) { return report.dump(2) + "\n"; }

std::string DiagnoseAllJson(const CDiagnoseAllResult& result) { return JsonText(DiagnoseAllReport(result)); }
