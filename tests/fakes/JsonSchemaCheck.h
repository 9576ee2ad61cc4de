#pragma once
// Checks a JSON value against a schema file of the repository, for the subset of
// JSON Schema those files use. A keyword outside the subset is reported as a
// violation too, so the schema cannot say more than is checked.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Every violation as "path: what"; empty when the value fits.
std::vector<std::string> SchemaViolations(const nlohmann::json& value, const nlohmann::json& schema);
