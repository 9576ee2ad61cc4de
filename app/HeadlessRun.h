#pragma once
// Diagnose All without a person: the five layers run into an in-memory report,
// the requested files are written, and the exit code is the verdict.
#include "app/CommandLine.h"
#include "app/JsonReport.h"

CDiagnoseAllResult RunDiagnoseAll();
// Everything a command line other than none asks for; returns the exit code.
int RunFromCommandLine(const CRunOptions& options);
