#pragma once
// A run compared with its baseline, and two saved reports compared with each
// other: the changes on the console, in the reports' last section and in the JSON.
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/ReportCompare.h"
#include "app/ReportFile.h"
#include "report/ReportWriter.h"

struct CBaselineComparison {
  std::string file;  // as the command line names it
  CReadReport baseline;
  std::vector<CChange> changes;
};

// Reads the baseline the options name; on a problem, says so on the console.
bool ReadBaseline(const std::string& file, const char* role, CBaselineComparison& comparison);

// The console's lines after the verdict (8-bit, CR LF).
std::string ChangesConsoleText(const CBaselineComparison& comparison);
// The reports' last section, in their own style: plain into the window text,
// marked up into the document.
void WriteChangesSection(const CBaselineComparison& comparison, std::string& windowText,
                         ReportDocument& document);
// The JSON report gets the baseline it was compared with and its changes.
void AddComparison(nlohmann::ordered_json& report, const CBaselineComparison& comparison);
// The failed layers' count as always; kExitChanged when none failed but the bench differs.
int ExitCodeWithBaseline(int failedLayers, const CBaselineComparison& comparison);
// /compare OLD NEW: returns the exit code.
int RunCompare(const CRunOptions& options);
// 8-bit text as the report holds it, from the JSON's UTF-8 (characters beyond
// Latin-1 become "?").
std::string Utf8ToLatin1(const std::string& text);
