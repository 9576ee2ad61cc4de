#pragma once
// JSON reports the tests make, kept for the ctest entry json.schema, which
// checks each against app/diagnose-all.schema.json with a full JSON Schema
// validator (tools/check-json-schema). A name starting "bad-" is one the
// validator must refuse.
#include <string>

void KeepJsonSample(const std::string& name, const std::string& json);
