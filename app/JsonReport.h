#pragma once
// Diagnose All as data: what each layer's check found and wrote, and the JSON
// report built from it (app/diagnose-all.schema.json), once.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/CallTrace.h"
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
  CCallStats calls;  // its calls into the bench libraries
  std::vector<CErrorCall> errorCalls;  // its error texts and the calls behind them
};

struct CDiagnoseAllResult {
  std::string started;  // local time, ISO 8601; empty when it cannot be read
  std::vector<CLayerOutcome> layers;
  // The VISA Libraries check, run after the layers into a report of its own:
  // only its findings go into the JSON report.
  std::optional<CLayerOutcome> visa;
  std::string windowText;   // what Save As Text would write
  ReportDocument document;  // what Save would write

  int FailedLayers() const;
};

// The head every JSON report starts with: format, tool and start.
nlohmann::ordered_json JsonReportHead(const std::string& started);
// An outcome as the JSON report holds it: name (with withName), verdict, error
// code, report text, then the findings.
nlohmann::ordered_json OutcomeJson(const CLayerOutcome& outcome, bool withName);
nlohmann::ordered_json DiagnoseAllReport(const CDiagnoseAllResult& result);
// The report as its file holds it.
std::string JsonText(const nlohmann::ordered_json& report);
std::string DiagnoseAllJson(const CDiagnoseAllResult& result);
