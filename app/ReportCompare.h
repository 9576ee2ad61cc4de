#pragma once
// What changed between two JSON reports of Diagnose All: a baseline taken when the
// bench worked and a later run. The findings' declaration (report/FindingList.h)
// says what counts and how; what changes on every run (dates, times, free memory,
// the IP address) does not.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// How a change reads as a line.
enum class ChangeForm { Values, Verdict, Appeared, Disappeared, Moved, ModuleMoved, Silent, Reading, Unreadable, NewLine };

struct CChange {
  std::string kind;   // "module_moved", "reading_changed", ... (the JSON's words)
  std::string layer;  // "OS", "SW", "GPIB", "Instrument", "Optical"
  std::string item;   // what changed: a library, an address, a slot, a channel
  nlohmann::ordered_json oldValue;  // null where there was none
  nlohmann::ordered_json newValue;
  ChangeForm form = ChangeForm::Values;
  std::string words;  // what the line calls the finding ("serial number")
};

// In the order of the report: layer by layer, then as each layer lists its items.
std::vector<CChange> CompareReports(const nlohmann::ordered_json& before, const nlohmann::ordered_json& after,
                                    double toleranceDb);

// One line a technician reads: "GPIB0::20::INSTR slot 12: moved to slot 14".
std::string ChangeLine(const CChange& change);

// The changes as the JSON report's "changes" array.
nlohmann::ordered_json ChangesJson(const std::vector<CChange>& changes);
