#pragma once
// Diagnose All without a person: the five layers run into an in-memory report,
// the requested files are written, and the exit code is the verdict.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/CommandLine.h"
#include "platform/CallTrace.h"
#include "report/Findings.h"
#include "report/LayerCheck.h"

extern const char kToolName[];
extern const char kToolVersion[];
// The JSON report's format (app/diagnose-all.schema.json).
constexpr int kJsonFormat = 2;

struct CLayerOutcome {
  std::string name;  // the catalogue's name of the layer
  int32_t error = 0;  // the code the verdict was decided on; 0 is OK
  std::string text;  // the layer's part of the report, as the window shows it
  CFindings::Tree findings;  // what the check kept of its findings
  CCallStats calls;  // its calls into the bench libraries
  std::vector<CErrorCall> errorCalls;  // its error lines and the calls behind them
};

struct CDiagnoseAllResult {
  std::string started;  // local time, ISO 8601; empty when it cannot be read
  std::vector<CLayerOutcome> layers;
  std::string windowText;   // what Save As Text would write
  ReportDocument document;  // what Save would write

  int FailedLayers() const;
};

// Every call into the bench libraries is counted; trace, when given, gets every
// call's line.
CDiagnoseAllResult RunDiagnoseAll(CTraceLog* trace = nullptr);
std::string DiagnoseAllJson(const CDiagnoseAllResult& result);
// Local time, ISO 8601; empty when it cannot be read.
std::string IsoLocalTime();
// Everything a command line other than none asks for; returns the exit code.
int RunFromCommandLine(const CRunOptions& options);
