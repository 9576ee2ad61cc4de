#pragma once
// Diagnose All without a person: the five layers run into an in-memory report,
// the requested files are written, and the exit code is the verdict.
#include "app/CommandLine.h"
#include "app/JsonReport.h"
#include "platform/CallTrace.h"

// Every call into the bench libraries is counted; trace, when given, gets every
// call's line.
CDiagnoseAllResult RunDiagnoseAll(CTraceLog* trace = nullptr);
// Everything a command line other than none asks for; returns the exit code.
int RunFromCommandLine(const CRunOptions& options);
