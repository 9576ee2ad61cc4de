#pragma once
// The trace of the calls into the bench libraries as the program hands it out:
// the trace file's notes for a run and for a window, and each layer's calls in
// the JSON report.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/CallTrace.h"
#include "report/ReportWriter.h"

// A window keeps the lines of its last this many calls.
constexpr size_t kWindowTraceCalls = 20000;

// The notes at the head of a trace file. started: the local time the run or the
// window began, ISO 8601 (empty when unknown).
std::vector<std::string> RunTraceNotes(const std::string& started);
// clearedFrom: the number of the first call after the last Clear, 0 for none.
std::vector<std::string> WindowTraceNotes(const std::string& started, uint32_t clearedFrom);

// ---- The JSON report's part (per layer "io") ----
// A layer's calls: how many, how many failed and timed out, the slowest, and
// every error line with the number of the call behind it (null when none).
nlohmann::ordered_json LayerCallsJson(const CCallStats& calls, const std::vector<CErrorCall>& errorLines);
