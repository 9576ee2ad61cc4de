#pragma once
// A JSON report of Diagnose All read back from a file, for a comparison: checked
// to be one of ours, of a format this program can read.
#include <string>

#include <nlohmann/json.hpp>

#include "platform/Files.h"

struct CReadReport {
  nlohmann::ordered_json report;
  int format = 0;
  // Empty when the report can be compared; else what is wrong with it, such as
  // "it is not JSON (at byte 12)".
  std::string problem;
};

// bytes: the file's content.
CReadReport ParseReport(const std::string& bytes);
CReadReport ReadReportFile(IFileSystem& files, const std::string& path);

// The report's start in the report's own words ("Friday, March 02, 2001,
// 14:05:09"), or "an unknown date" when the report holds none.
std::string ReportDate(const nlohmann::ordered_json& report);
