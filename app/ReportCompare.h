#pragma once
// What changed between two JSON reports of Diagnose All: a baseline taken when the
// bench worked and a later run. Only findings count; what changes on every run
// (dates, times, free memory, the IP address) does not.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

struct CChange {
  std::string kind;   // "module_moved", "reading_changed", ... (the JSON's words)
  std::string layer;  // "OS", "SW", "GPIB", "Instrument", "Optical"
  std::string item;   // what changed: a library, an address, a slot, a channel
  nlohmann::json oldValue;  // null where there was none
  nlohmann::json newValue;
};

// In the order of the report: layer by layer, then as each layer lists its items.
std::vector<CChange> CompareReports(const nlohmann::json& before, const nlohmann::json& after,
                                    double toleranceDb);

// One line a technician reads: "GPIB0::20::INSTR slot 12: moved to slot 14".
std::string ChangeLine(const CChange& change);

// The changes as the JSON report's "changes" array.
nlohmann::ordered_json ChangesJson(const std::vector<CChange>& changes);
