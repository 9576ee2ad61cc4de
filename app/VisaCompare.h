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

void CompareVisaLibraries(const nlohmann::json& before, const nlohmann::json& after, std::vector<CChange>& changes);
bool IsVisaChange(const CChange& change);
std::string VisaChangeLine(const CChange& change);
// The heading of a group of changes: "<layer> layer", or "VISA libraries".
std::string ChangeGroupTitle(const std::string& layer);
