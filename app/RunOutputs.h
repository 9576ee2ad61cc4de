#pragma once
// What every run without a window shares: a check run as its command runs it,
// the time it started, and the files it writes.
#include <string>

#include "app/CommandLine.h"
#include "app/JsonReport.h"
#include "report/CheckRunner.h"

// A check run as its command runs it, without a window: what the window would
// show is appended to windowText, the markup to document. Its calls into the
// bench libraries are counted from its start.
CLayerOutcome RunCheckWithoutWindow(const char* name, const CCheckRunner::MakeCheck& make, std::string& windowText,
                                    ReportDocument& document);
// Local time, ISO 8601; empty when it cannot be read.
std::string IsoLocalTime();
// Each file the options name (/html, /text, /json, /trace) can be written: found before
// a run of minutes, without touching the file it is to replace. False, said on
// the console, when one cannot.
bool OutputsWritable(const CRunOptions& options);
// Each file written whole, in place of the one before; false, said on the console, on a failure.
bool WriteOutputs(const CRunOptions& options, const std::string& html, const std::string& text,
                  const std::string& json, const std::string& trace = std::string());
