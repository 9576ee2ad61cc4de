#pragma once
// Diagnose All without a person: the five layers run into an in-memory report,
// the requested files are written, and the exit code is the verdict.
#include <cstdint>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "instrument/InstrumentRecord.h"
#include "report/LayerCheck.h"

extern const char kToolName[];
extern const char kToolVersion[];

struct CLayerOutcome {
  std::string name;  // "OS", "SW", "GPIB", "Instrument", "Optical"
  int32_t error = 0;  // the code the verdict was decided on; 0 is OK
  std::string text;  // the layer's part of the report, as the window shows it
  bool instrument = false;
  std::vector<CMainframeRecord> mainframes;
};

struct CDiagnoseAllResult {
  std::string started;  // local time, ISO 8601; empty when it cannot be read
  std::vector<CLayerOutcome> layers;
  std::string windowText;   // what Save As Text would write
  ReportDocument document;  // what Save would write

  int FailedLayers() const;
};

CDiagnoseAllResult RunDiagnoseAll();
// 8-bit report text (the program's code page) as UTF-8, byte for byte as Latin-1.
std::string Latin1ToUtf8(const std::string& text);
// The slot-type code's module in words, for the JSON report.
const char* ModuleName(int32_t code);
std::string DiagnoseAllJson(const CDiagnoseAllResult& result);
// Everything a command line other than none asks for; returns the exit code.
int RunFromCommandLine(const CRunOptions& options);
