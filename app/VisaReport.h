#pragma once
// The VISA Libraries check without a window: alone (/visa), and beside
// Diagnose All's layers in its JSON report.
#include <string>

#include "app/CommandLine.h"
#include "app/JsonReport.h"

struct CVisaRun {
  CLayerOutcome outcome;
  std::string windowText;   // what Save As Text would write
  ReportDocument document;  // what Save would write
};

CVisaRun RunVisaLibrariesAlone();
// The JSON report of /visa: the head of every report and the check's object.
std::string VisaLibrariesJson(const CVisaRun& run, const std::string& started);
// /visa: returns the exit code, 0 OK, 1 FAILED (kExitRunFailed when a file cannot be written).
int RunVisaLibrariesCommand(const CRunOptions& options);
