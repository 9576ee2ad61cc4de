#pragma once
// Diagnose All without a person: the five layers run into an in-memory report,
// the requested files are written, and the exit code is the verdict.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/CommandLine.h"
#include "platform/CallTrace.h"
#include "report/CheckRunner.h"
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
  // The VISA Libraries check, run after the layers into a report of its own:
  // only its findings go into the JSON report.
  std::optional<CLayerOutcome> visa;
  std::string windowText;   // what Save As Text would write
  ReportDocument document;  // what Save would write

  int FailedLayers() const;
};

// Every call into the bench libraries is counted; trace, when given, gets every
// call's line.
CDiagnoseAllResult RunDiagnoseAll(CTraceLog* trace = nullptr);
std::string DiagnoseAllJson(const CDiagnoseAllResult& result);

// A check run as its command runs it, without a window: what the window would
// show is appended to windowText, the markup to document.
CLayerOutcome RunCheckWithoutWindow(const char* name, const CCheckRunner::MakeCheck& make, std::string& windowText,
                                    ReportDocument& document);
// An outcome as the JSON report holds it: name (with withName), verdict, error
// code, report text, then the findings.
nlohmann::ordered_json OutcomeJson(const CLayerOutcome& outcome, bool withName);
// The head every JSON report starts with: format, tool and start.
nlohmann::ordered_json JsonReportHead(const std::string& started);
// Local time, ISO 8601; empty when it cannot be read.
std::string IsoLocalTime();
void SayOnConsole(const std::string& text, bool error);
// Each file the options name (/html, /text, /json, /trace) can be written: found before
// a run of minutes, without touching the file it is to replace. False, said on
// the console, when one cannot.
bool OutputsWritable(const CRunOptions& options);
// Each file written whole, in place of the one before; false, said on the console, on a failure.
bool WriteOutputs(const CRunOptions& options, const std::string& html, const std::string& text,
                  const std::string& json, const std::string& trace = std::string());
// Everything a command line other than none asks for; returns the exit code.
int RunFromCommandLine(const CRunOptions& options);
