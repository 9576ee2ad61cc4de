#pragma once
// Diagnose All as data: what each layer's check found and wrote, and the JSON
// report built from it (app/diagnose-all.schema.json), once.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "report/Findings.h"
#include "report/ReportWriter.h"

extern const char kToolName[];
extern const char kToolVersion[];
// The JSON report's format.
constexpr int kJsonFormat = 2;

struct CLayerOutcome {
  std::string name;  // the catalogue's name of the layer
  int32_t error = 0;  // the code the verdict was decided on; 0 is OK
  std::string text;  // the layer's part of the report, as the window shows it
  CFindings::Tree findings;  // what the check kept of its findings
  std::vector<std::string> errors;  // the lines it wrote as errors (8-bit)
};

struct CDiagnoseAllResult {
  std::string started;  // local time, ISO 8601; empty when it cannot be read
  std::vector<CLayerOutcome> layers;
  std::string windowText;   // what Save As Text would write
  ReportDocument document;  // what Save would write

  int FailedLayers() const;
};

nlohmann::ordered_json DiagnoseAllReport(const CDiagnoseAllResult& result);
// The report as its file holds it.
std::string JsonText(const nlohmann::ordered_json& report);
std::string DiagnoseAllJson(const CDiagnoseAllResult& result);
