#pragma once
// What changed in the VISA Libraries findings of two JSON reports: the loaded
// library (path, version, publisher, maker) first, then the copies and the
// registry entries that appeared, went away or changed. Its changes come before
// those of the layers.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/ReportCompare.h"

extern const char kVisaChangeGroup[];  // "VISA", the changes' layer

// old and now: the reports' visa_libraries objects; nothing is compared unless both are objects.
void CompareVisaLibraries(const nlohmann::ordered_json& old, const nlohmann::ordered_json& now,
                          std::vector<CChange>& changes);
bool IsVisaChange(const CChange& change);
std::string VisaChangeLine(const CChange& change);
// The heading of a group of changes: "<layer> layer", or "VISA libraries".
std::string ChangeGroupTitle(const std::string& layer);
