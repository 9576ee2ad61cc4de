#include "tests/fakes/JsonSchemaCheck.h"

#include <regex>
#include <set>

namespace {

using Json = nlohmann::json;

bool HasType(const Json& value, const std::string& type) {
  if (type == "object") return value.is_object();
  if (type == "array") return value.is_array();
  if (type == "string") return value.is_string();
  if (type == "integer") return value.is_number_integer();
  if (type == "number") return value.is_number();
  if (type == "boolean") return value.is_boolean();
  if (type == "null") return value.is_null();
  return false;
}

void Check(const Json& value, const Json& schema, const std::string& path,
           std::vector<std::string>& out) {
  static const std::set<std::string> kKnown = {
      "$schema", "title", "description", "type", "enum", "properties", "required",
      "additionalProperties", "items", "minItems", "maxItems", "minimum", "maximum", "pattern"};
  for (auto it = schema.begin(); it != schema.end(); ++it) {
    if (kKnown.count(it.key()) == 0) out.push_back(path + ": schema keyword " + it.key() + " is not checked");
  }
  if (schema.contains("type")) {
    const Json& type = schema["type"];
    bool fits = false;
    if (type.is_array()) {
      for (const Json& one : type) fits = fits || HasType(value, one.get<std::string>());
    } else {
      fits = HasType(value, type.get<std::string>());
    }
    if (!fits) {
      out.push_back(path + ": not of type " + type.dump());
      return;
    }
  }
  if (schema.contains("enum")) {
    bool listed = false;
    for (const Json& allowed : schema["enum"]) listed = listed || allowed == value;
    if (!listed) out.push_back(path + ": " + value.dump() + " is not one of " + schema["enum"].dump());
  }
  if (value.is_number()) {
    if (schema.contains("minimum") && value.get<double>() < schema["minimum"].get<double>()) {
      out.push_back(path + ": below the minimum");
    }
    if (schema.contains("maximum") && value.get<double>() > schema["maximum"].get<double>()) {
      out.push_back(path + ": above the maximum");
    }
  }
  if (value.is_string() && schema.contains("pattern") &&
      !std::regex_search(value.get<std::string>(), std::regex(schema["pattern"].get<std::string>()))) {
    out.push_back(path + ": does not match " + schema["pattern"].get<std::string>());
  }
  if (value.is_object()) {
    const Json properties = schema.value("properties", Json::object());
    for (const Json& name : schema.value("required", Json::array())) {
      if (!value.contains(name.get<std::string>())) out.push_back(path + ": lacks " + name.get<std::string>());
    }
    for (auto it = value.begin(); it != value.end(); ++it) {
      if (properties.contains(it.key())) {
        Check(it.value(), properties[it.key()], path + "." + it.key(), out);
      } else if (schema.value("additionalProperties", true) == false) {
        out.push_back(path + ": unexpected " + it.key());
      }
    }
  }
  if (value.is_array()) {
    if (schema.contains("minItems") && value.size() < schema["minItems"].get<size_t>()) {
      out.push_back(path + ": fewer items than " + schema["minItems"].dump());
    }
    if (schema.contains("maxItems") && value.size() > schema["maxItems"].get<size_t>()) {
      out.push_back(path + ": more items than " + schema["maxItems"].dump());
    }
    if (schema.contains("items")) {
      for (size_t i = 0; i < value.size(); ++i) {
        Check(value[i], schema["items"], path + "[" + std::to_string(i) + "]", out);
      }
    }
  }
}

}  // namespace

std::vector<std::string> SchemaViolations(const nlohmann::json& value, const nlohmann::json& schema) {
  std::vector<std::string> out;
  Check(value, schema, "$", out);
  return out;
}
