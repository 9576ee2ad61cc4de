// The JSON report of Diagnose All on every shipped bench and library variant:
// it is kept for the schema check, and every value of every layer is what the
// layer's report shows on the line for it; the schema and the findings'
// declaration agree.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include <nlohmann/json.hpp>

#include "app/HeadlessRun.h"
#include "app/LayerCatalogue.h"
#include "instrument/ListItem.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeNetwork.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/JsonSamples.h"
#include "tests/fakes/PlatformFixture.h"
#include "tests/unit/app/AppFixture.h"

namespace {

using Json = nlohmann::json;

std::string Text(const Json& value) { return value.is_string() ? value.get<std::string>() : value.dump(); }

// Every finding of a layer as the report text it stands for.
std::vector<std::string> ReportLinesOf(const Json& layer) {
  std::vector<std::string> lines = layer.value("errors", std::vector<std::string>());
  for (const Json& library : layer.value("libraries", Json::array())) {
    std::vector<const Json*> all = {&library};
    if (library["copies"].is_array()) {
      for (const Json& copy : library["copies"]) all.push_back(&copy);
    }
    for (const Json* one : all) {
      const std::string name = Text((*one)["name"]);
      if ((*one)["found"] == "missing") {
        lines.push_back(name + " is not accessible, trying to find it on your local drive C: ... \r\n");
        lines.push_back("\r\n" + std::to_string((*one)["copies"].size()) + " files found \r\n");
        continue;
      }
      lines.push_back(name + ((*one)["found"] == "accessible" ? " is accessible\r\n" : "\r\nFile exists, but could not"));
      if ((*one)["version"].is_null()) continue;
      lines.push_back("version: " + Text((*one)["version"]) + " string value: \"" + Text((*one)["version_string"]) +
                      "\"\r\nCompany Name : " + Text((*one)["publisher"]) + "\r\n");
      if (!(*one)["required_version"].is_null()) {
        lines.push_back("You should get version at least: " + Text((*one)["required_version"]) + "\r\n");
      }
    }
  }
  if (layer.contains("system")) {
    const Json& system = layer["system"];
    const Json& cpu = system["processor"];
    std::string processor = "Processor Type: " + Text(cpu["type"]) + " family: " + Text(cpu["family"]);
    if (!cpu["model"].is_null()) processor += " model: " + Text(cpu["model"]) + " stepping: " + Text(cpu["stepping"]);
    lines.push_back(processor + (cpu["model"].is_null() ? "" : "\r\n"));
    char memory[96];
    std::snprintf(memory, sizeof memory, "RAM available = %7lld MB\r\nFree physical memory = %7lld kB\r\n",
                  system["memory"]["total_mb"].get<long long>(), system["memory"]["free_kb"].get<long long>());
    lines.push_back(memory);
    if (!system["operating_system"].is_null()) lines.push_back("Operating system: " + Text(system["operating_system"]));
    if (!system["version"].is_null()) {
      lines.push_back(" " + Text(system["version"]) + " \r\nBuild no." + Text(system["build"]) + "\r\n" +
                      Text(system["service_pack"]) + "\r\n");
    }
  }
  if (layer.contains("photonic_library") && layer["photonic_library"].is_object() &&
      layer["photonic_library"]["callable"] == true) {
    lines.push_back("ZebVersionString: \"" + Text(layer["photonic_library"]["version_string"]) + "\"\r\nZebVersion: " +
                    Text(layer["photonic_library"]["version"]) + " \r\n");
  }
  if (layer.value("visa_publisher", "") == "other") lines.push_back("Please uprgade your visa32.dll");
  if (layer.contains("missing_function") && !layer["missing_function"].is_null()) {
    lines.push_back(Text(layer["missing_function"]) + " not found in visa32.dll\r\n");
  }
  for (const Json& board : layer.value("boards", Json::array())) {
    for (const Json& error : board["system_errors"]) lines.push_back(Text(error));
    for (const Json& resource : board["resources"]) {
      lines.push_back("Found resource: " + Text(resource["resource"]) + "\r\n");
      for (const Json& error : resource["system_errors"]) lines.push_back(Text(error));
      if (resource["opened"] != true) continue;
      lines.push_back("Instrument: " + Text(resource["identification"]) +
                      (resource["closed"] == true ? "\r\nresource closed successfully, \r\n" : ""));
    }
  }
  for (const Json& mainframe : layer.value("mainframes", Json::array())) {
    if (!mainframe["identification"].is_null()) lines.push_back("InstrumentID: " + Text(mainframe["identification"]) + "\r\n");
    for (const Json& slot : mainframe["slots"]) {
      lines.push_back("Slot no. " + Text(slot["slot"]) + " : ");
      if (!slot["identification"].is_null()) lines.push_back("\r\nID string: " + Text(slot["identification"]) + "\r\n");
      for (const Json& reading : slot["measurements"]) {
        // A driver error may stand between the reading's head and its value.
        lines.push_back("Measurement result for channel " + Text(reading["channel"]) + ": ");
        lines.push_back(" " + FormatExponent(reading["dbm"].get<double>()) + " dBm\r\n");
      }
    }
  }
  return lines;
}

class JsonReportTest : public AppTest {
 protected:
  // Without the bench the SW layer searches the drive, and finds an old copy.
  JsonReportTest() {
    m_files.AddDirectory("C:\\old");
    m_files.AddFile("C:\\old\\zeb_32.dll");
  }

  Json RunOn(const std::string& bench, const std::string& driver, const std::string& visa, const std::string& zeb) {
    FakeLibraries libraries;
    Platform platform = GetPlatform();
    platform.system = &m_system;
    platform.libraries = &libraries;
    platform.network = &m_network;
    SetPlatform(platform);
    if (!bench.empty()) {
      m_bench.UseShipped(bench);
      EXPECT_TRUE(libraries.AddSimLibrary("kv740m_32.dll", driver));
      EXPECT_TRUE(libraries.AddSimLibrary("visa32.dll", visa));
      EXPECT_TRUE(libraries.AddSimLibrary("zeb_32.dll", zeb));
    }
    return Json::parse(DiagnoseAllJson(RunDiagnoseAll()));
  }

  FakeSystem m_system;
  FakeNetwork m_network;
  SimBenchScope m_bench;
};

TEST_F(JsonReportTest, EveryBenchAndVariantIsKeptAndMatchesTheReport) {
  struct Case {
    std::string bench, driver, visa, zeb;
  };
  std::vector<Case> cases = {{"", "", "", ""}};
  for (const auto& entry : std::filesystem::directory_iterator(std::string(BS_SOURCE_DIR) + "/sim/benches")) {
    cases.push_back({entry.path().filename().string(), "", "", ""});
  }
  for (const std::string& variant : SimVariantNames("kv740m_32")) cases.push_back({"default.toml", variant, "", ""});
  for (const std::string& variant : SimVariantNames("visa32")) cases.push_back({"default.toml", "", variant, ""});
  for (const std::string& variant : SimVariantNames("zeb_32")) cases.push_back({"faults.toml", "", "", variant});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bench + " " + c.driver + c.visa + c.zeb);
    // Windows versions the OS layer tells apart, one per case in turn.
    const uint32_t major[] = {5, 4, 4, 6};
    const size_t index = static_cast<size_t>(&c - cases.data());
    m_system.SetVersion(major[index % 4] == 4 && index % 8 == 2 ? 1 : 2, major[index % 4], index % 2,
                        2195 + static_cast<uint32_t>(index), index % 4 == 1 ? "Service Pack 3" : "Service Pack 6");
    m_system.systemInfo.processorRevision = index % 3 == 0 ? 0xFF01 : 0x0803;
    const Json json = RunOn(c.bench, c.driver, c.visa, c.zeb);
    KeepJsonSample("run-" + std::to_string(index) + "-" + c.bench + c.driver + c.visa + c.zeb, json.dump(2));
    ASSERT_EQ(json["layers"].size(), static_cast<size_t>(kLayerCount));
    for (size_t i = 0; i < kLayerCount; ++i) {
      const Json& layer = json["layers"][i];
      EXPECT_EQ(layer["name"], kLayers[i].name);
      // The plain report without the marks of its error texts.
      std::string report = layer["report"];
      for (size_t at = report.find("######"); at != std::string::npos; at = report.find("######")) report.erase(at, 6);
      for (const std::string& line : ReportLinesOf(layer)) {
        EXPECT_NE(report.find(line), std::string::npos) << layer["name"] << ": " << Json(line).dump();
      }
    }
    // Each layer has the findings of its kind, and the OS layer what a PC always shows.
    EXPECT_TRUE(json["layers"][kLayerOs]["system"].is_object());
    EXPECT_EQ(json["layers"][kLayerSw]["libraries"].size(), 10u);
    EXPECT_EQ(json["layers"][kLayerGpib]["boards"].size(), json["layers"][kLayerGpib]["libraries"][0]["found"] == "accessible" ? 10u : 0u);
  }
}

// Each object of the schema has the findings of its record, in their order,
// of their type and with their description.
using Ordered = nlohmann::ordered_json;

void ExpectSchemaOf(const CFindingRecord& record, const Ordered& object, const Ordered& schema, const std::string& path) {
  static const std::map<FindingType, Ordered> kTypes = {
      {FindingType::Text, "string"}, {FindingType::TextOrNull, {"string", "null"}},
      {FindingType::Integer, "integer"}, {FindingType::IntegerOrNull, {"integer", "null"}},
      {FindingType::Number, "number"}, {FindingType::Bool, "boolean"}, {FindingType::BoolOrNull, {"boolean", "null"}},
      {FindingType::Value, {"string", "number", "null"}}, {FindingType::Texts, "array"},
      {FindingType::Object, "object"}, {FindingType::ObjectOrNull, {"object", "null"}},
      {FindingType::Objects, "array"}, {FindingType::ObjectsOrNull, {"array", "null"}}};
  const Ordered& resolved = object.contains("$ref") ? schema.at(Ordered::json_pointer(object["$ref"].get<std::string>().substr(1))) : object;
  std::vector<const CFindingField*> fields;
  for (const CFindingField* field : record) {
    if (field->compare != FindingCompare::Inline) fields.push_back(field);
    for (const CFindingField* inner : field->compare == FindingCompare::Inline ? *field->of : kNoneRecord) fields.push_back(inner);
  }
  std::vector<std::string> keys, required;
  for (const CFindingField* field : fields) {
    keys.push_back(field->key);
    if (field->presence == FindingPresence::Always) required.push_back(field->key);
  }
  const Ordered declared = resolved.value("properties", Ordered::object());
  std::vector<std::string> properties;
  for (const auto& property : declared.items()) properties.push_back(property.key());
  EXPECT_EQ(properties, keys) << path;
  EXPECT_EQ(resolved.value("required", std::vector<std::string>()), required) << path;
  for (const CFindingField* field : fields) {
    const Ordered property = declared.value(field->key, Ordered::object());
    const std::string where = path + "/" + field->key;
    EXPECT_EQ(property.value("type", Ordered()), kTypes.at(field->type)) << where;
    EXPECT_EQ(property.value("description", ""), field->description) << where;
    if (field->of->count == 0 || field->of == &record) continue;
    const bool list = property.value("type", Ordered()).dump().find("array") != std::string::npos;
    ExpectSchemaOf(*field->of, list ? property.value("items", Ordered::object()) : property, schema, where);
  }
}

TEST(FindingsDeclarationTest, TheSchemaHoldsEveryFindingAsDeclared) {
  std::ifstream file(std::string(BS_SOURCE_DIR) + "/app/diagnose-all.schema.json");
  const Ordered schema = Ordered::parse(file);
  ExpectSchemaOf(kReportRecord, schema, schema, "");
}

}  // namespace
