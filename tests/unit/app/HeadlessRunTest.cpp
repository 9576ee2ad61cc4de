// benchsentry.exe with options: the parser, the run of Diagnose All without a
// window on the simulated bench, its exit codes, files and JSON report.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/CommandLine.h"
#include "app/HeadlessRun.h"
#include "app/LayerCatalogue.h"
#include "app/ReportExport.h"
#include "instrument/InstrLayerCheck.h"
#include "instrument/ListItem.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeNetwork.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/JsonSchemaCheck.h"
#include "tests/fakes/PlatformFixture.h"
#include "tests/fakes/ReportFixture.h"
#include "tests/unit/app/AppFixture.h"

namespace {

using Json = nlohmann::json;

Json Schema() {
  std::ifstream file(std::string(BS_SOURCE_DIR) + "/app/diagnose-all.schema.json");
  return Json::parse(file);
}

std::string ReadFileOf(const std::string& relative) {
  std::ifstream file(std::string(BS_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::string Without(std::string text, const std::string& what) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what)) text.erase(at, what.size());
  return text;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(CommandLineTest, OptionsAndTheirProblems) {
  struct Case {
    const char* line;
    RunMode mode;
    const char* html;
    const char* text;
    const char* json;
    const char* problem;
  };
  const Case cases[] = {
      {"", RunMode::Interactive, "", "", "", ""},
      {"   ", RunMode::Interactive, "", "", "", ""},
      {"/all", RunMode::DiagnoseAll, "", "", "", ""},
      {"-ALL /Html r.html /text r.txt /JSON r.json", RunMode::DiagnoseAll, "r.html", "r.txt", "r.json", ""},
      {"/json \"C:\\my reports\\r.json\" /all", RunMode::DiagnoseAll, "", "", "C:\\my reports\\r.json", ""},
      {"/all /text C:\\a\\\\\"b c\"", RunMode::DiagnoseAll, "", "C:\\a\\b c", "", ""},
      {"/all /text a\\\"b", RunMode::DiagnoseAll, "", "a\"b", "", ""},
      {"/?", RunMode::Usage, "", "", "", ""},
      {"/all /bogus /?", RunMode::Usage, "", "", "", ""},
      {"/all /bogus", RunMode::Invalid, "", "", "", "unknown option /bogus"},
      {"all", RunMode::Invalid, "", "", "", "unexpected argument \"all\""},
      {"/html r.html", RunMode::Invalid, "", "", "", "the options need /all"},
      {"/all /html", RunMode::Invalid, "", "", "", "the option /html needs a file name"},
      {"/all /html /text t.txt", RunMode::Invalid, "", "", "", "the option /html needs a file name"},
      {"/all /html \"\"", RunMode::Invalid, "", "", "", "the option /html needs a file name"},
      {"/all /all", RunMode::Invalid, "", "", "", "the option /all is given twice"},
      {"/all /json a /json b", RunMode::Invalid, "", "", "", "the option /json is given twice"},
      {"/all /html R.TXT /text r.txt", RunMode::Invalid, "", "", "", "the file \"R.TXT\" is named for two outputs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const CRunOptions options = ParseCommandLine(c.line);
    EXPECT_EQ(options.mode, c.mode);
    EXPECT_EQ(options.htmlFile, c.mode == RunMode::Invalid ? "" : c.html);
    if (c.mode != RunMode::Invalid) {
      EXPECT_EQ(options.textFile, c.text);
      EXPECT_EQ(options.jsonFile, c.json);
    }
    EXPECT_EQ(options.problem, c.problem);
  }
}

class HeadlessRunTest : public AppTest {
 protected:
  HeadlessRunTest() {
    Platform platform = GetPlatform();
    platform.system = &m_system;
    platform.libraries = &m_libraries;
    platform.network = &m_network;
    SetPlatform(platform);
    m_clock.SetTicksPerRead(50);
    DriverJournal().clear();
  }

  void AddBench() {
    for (const char* library : {"kv740m_32.dll", "visa32.dll", "zeb_32.dll"}) {
      ASSERT_TRUE(m_libraries.AddSimLibrary(library)) << library;
    }
  }

  FakeSystem m_system;
  FakeLibraries m_libraries;
  FakeNetwork m_network;
  SimBenchScope m_bench;
};

TEST_F(HeadlessRunTest, ExitCodesMessagesAndFiles) {
  struct Case {
    const char* name;
    const char* bench;  // shipped bench, "" for none installed
    const char* line;
    bool exitIsFailedLayers;  // else kExitRunFailed
    const char* error;        // part of the console's error output
  };
  const Case cases[] = {
      {"default bench", "default.toml",
       "/all /html C:\\reports\\r.html /text C:\\reports\\r.txt /json C:\\reports\\r.json", true, ""},
      {"faults bench", "faults.toml", "/all /json C:\\reports\\r.json /text C:\\reports\\r.txt", true, ""},
      {"no bench", "", "/all /text C:\\reports\\r.txt /json C:\\reports\\r.json", true, ""},
      {"unwritable file", "default.toml", "/all /json C:\\nowhere\\r.json", false,
       "benchsentry: cannot write the file \"C:\\nowhere\\r.json\" (/json)"},
      {"read-only folder", "default.toml", "/all /html C:\\locked\\r.html", false,
       "cannot write the file \"C:\\locked\\r.html\" (/html)"},
      {"unknown option", "default.toml", "/all /xml r.xml", false,
       "benchsentry: unknown option /xml\r\n\r\nUsage: benchsentry.exe /all"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeShell shell;
    FakeFileSystem files;
    files.AddDirectory("C:\\reports");
    files.AddDirectory("C:\\locked");
    files.SetReadOnly("C:\\locked");
    FakeLibraries libraries;
    Platform platform = GetPlatform();
    platform.shell = &shell;
    platform.files = &files;
    platform.libraries = &libraries;
    SetPlatform(platform);
    if (*c.bench != '\0') {
      m_bench.UseShipped(c.bench);
      for (const char* library : {"kv740m_32.dll", "visa32.dll", "zeb_32.dll"}) {
        ASSERT_TRUE(libraries.AddSimLibrary(library));
      }
    }

    const int code = RunFromCommandLine(ParseCommandLine(c.line));
    EXPECT_NE(shell.ConsoleErrors().find(c.error), std::string::npos) << shell.ConsoleErrors();
    if (!c.exitIsFailedLayers) {
      EXPECT_EQ(code, kExitRunFailed);
      EXPECT_FALSE(files.FileBytes("C:\\reports\\r.json").has_value());
      EXPECT_EQ(shell.ConsoleOutput(), "");
      continue;
    }
    EXPECT_EQ(shell.ConsoleErrors(), "");
    // The exit code counts the red verdicts of the report the files hold.
    const std::string text = files.FileBytes("C:\\reports\\r.txt").value_or("");
    EXPECT_EQ(code, static_cast<int>(Count(text, " Layer Check FAILED!!!.")));
    EXPECT_EQ(Count(text, "Layer check, "), 5u);
    EXPECT_NE(shell.ConsoleOutput().find(std::to_string(code) + " of 5 layers failed\r\n"), std::string::npos);
    const Json json = Json::parse(files.FileBytes("C:\\reports\\r.json").value_or("{}"));
    EXPECT_EQ(SchemaViolations(json, Schema()), std::vector<std::string>());
    EXPECT_EQ(json["failed_layers"], code);
    std::string layerTexts;
    for (const Json& layer : json["layers"]) {
      const std::string report = layer["report"];
      layerTexts += report;
      EXPECT_EQ(layer["verdict"] == "failed", report.find("Layer Check FAILED!!!.") != std::string::npos);
      EXPECT_EQ(layer["verdict"] == "failed", layer["error_code"] != 0);
    }
    // Plain ASCII on these benches: the JSON's texts are the text file's, CR LF and all.
    EXPECT_EQ(ToTextFileBytes(layerTexts), text);
  }
  // The usage goes to the console, or to a window for a person who has none.
  FakeShell shell;
  Platform platform = GetPlatform();
  platform.shell = &shell;
  SetPlatform(platform);
  EXPECT_EQ(RunFromCommandLine(ParseCommandLine("/?")), kExitUsage);
  EXPECT_EQ(shell.ConsoleOutput(), kUsageText);
  shell.SetConsoleAttached(false);
  EXPECT_EQ(RunFromCommandLine(ParseCommandLine("-?")), kExitUsage);
  ASSERT_EQ(shell.MessageBoxes().size(), 1u);
  EXPECT_EQ(shell.MessageBoxes()[0].text, kUsageText);
}

TEST_F(HeadlessRunTest, AnOldReportIsOnlyReplacedByAWholeNewOne) {
  AddBench();
  m_bench.UseShipped("default.toml");
  FakeShell shell;
  FakeFileSystem files;
  files.AddFile("C:\\reports\\r.html", "yesterday");
  Platform platform = GetPlatform();
  platform.shell = &shell;
  platform.files = &files;
  SetPlatform(platform);
  const CRunOptions options = ParseCommandLine("/all /html C:\\reports\\r.html");
  files.SetDiskFull();
  EXPECT_EQ(RunFromCommandLine(options), kExitRunFailed);
  EXPECT_EQ(files.FileBytes("C:\\reports\\r.html"), "yesterday");
  files.SetDiskFull(false);
  EXPECT_NE(RunFromCommandLine(options), kExitRunFailed);
  EXPECT_EQ(files.FileBytes("C:\\reports\\r.html").value_or("").rfind("<html>", 0), 0u);
  EXPECT_FALSE(files.Exists("C:\\reports\\r.html.partial"));
}

TEST_F(HeadlessRunTest, SavedFilesAreWhatTheDialogWouldSave) {
  AddBench();
  const CDiagnoseAllResult result = RunDiagnoseAll();
  ASSERT_EQ(result.layers.size(), 5u);
  EXPECT_EQ(result.started, "2001-03-02T14:05:09");
  EXPECT_EQ(result.document.compare(0, std::string(kReportHead).size() + std::string(kReportTitle).size(),
                                    std::string(kReportHead) + kReportTitle),
            0);
  EXPECT_EQ(CLayerCheck::MarkupToText(result.document.substr(std::string(kReportHead).size() +
                                                             std::string(kReportTitle).size())),
            CLayerCheck::MarkupToText(Without(result.windowText, "######")));
  // The instrument layers' text is the checks' own, byte for byte, with the
  // recorder attached.
  const std::string golden = ReadFileOf("tests/unit/instrument/data/instr_default_window.txt");
  EXPECT_EQ(result.layers[3].text, golden);
  EXPECT_EQ(result.layers[3].name, "Instrument");
}

TEST_F(HeadlessRunTest, JsonHoldsMainframesSlotsAndReadings) {
  AddBench();
  const Json json = Json::parse(DiagnoseAllJson(RunDiagnoseAll()));
  EXPECT_EQ(SchemaViolations(json, Schema()), std::vector<std::string>());
  EXPECT_EQ(json["tool"], Json({{"name", "benchsentry"}, {"version", "1.0"}}));
  std::vector<std::string> names;
  for (const Json& layer : json["layers"]) names.push_back(layer["name"]);
  std::vector<std::string> catalogue;
  for (const CLayerEntry& layer : kLayers) catalogue.push_back(layer.name);
  EXPECT_EQ(names, catalogue);
  for (const Json& layer : json["layers"]) EXPECT_EQ(layer.contains("mainframes"), layer["name"] == "Instrument" || layer["name"] == "Optical");

  const Json& instrument = json["layers"][3]["mainframes"];
  ASSERT_EQ(instrument.size(), 2u);
  EXPECT_EQ(instrument[0]["address"], "GPIB0::20::INSTR");
  EXPECT_EQ(instrument[0]["identification"], "Velmora Technologies,VT7412A,DE00000101,V3.12(4711)");
  EXPECT_EQ(instrument[0]["slots"][0],
            Json({{"slot", 0}, {"type_code", 5}, {"module", "tunable laser source"},
                  {"identification", "Velmora Technologies,VT7451B,DE00000201,V2.40"},
                  {"measurements", Json::array()}}));
  // Measurements only where the Optical layer read them, one per channel, as the report shows them.
  const std::string opticalReport = json["layers"][4]["report"];
  size_t readings = 0;
  for (const Json& mainframe : json["layers"][4]["mainframes"]) {
    for (const Json& slot : mainframe["slots"]) {
      const int code = slot["type_code"];
      EXPECT_EQ(slot["measurements"].size(), code == 1 ? 1u : code == 2 ? 2u : 0u) << slot.dump();
      for (const Json& reading : slot["measurements"]) {
        ++readings;
        EXPECT_TRUE(reading["valid"].get<bool>());
        EXPECT_NE(opticalReport.find(" " + FormatExponent(reading["dbm"].get<double>()) + " dBm"), std::string::npos);
      }
    }
  }
  EXPECT_EQ(readings, Count(opticalReport, "Measurement result for channel "));
  for (const Json& mainframe : instrument) {
    for (const Json& slot : mainframe["slots"]) EXPECT_TRUE(slot["measurements"].empty());
  }
}

TEST(JsonSchemaCheckTest, EachKindOfViolationIsFound) {
  const Json schema = Schema();
  Json good = {{"format", 2}, {"tool", {{"name", "benchsentry"}, {"version", "1.0"}}}, {"started", ""}, {"failed_layers", 0}, {"layers", Json::array()}};
  for (const CLayerEntry& layer : kLayers) {
    good["layers"].push_back({{"name", layer.name}, {"verdict", "ok"}, {"error_code", 0}, {"report", ""}});
  }
  ASSERT_EQ(SchemaViolations(good, schema), std::vector<std::string>());
  struct Case {
    const char* pointer;
    Json value;
    const char* violation;
  };
  const Case cases[] = {
      {"/tool/name", "other", "$.tool.name: \"other\" is not one of"},
      {"/started", "2001-03-02 14:05", "$.started: does not match"},
      {"/failed_layers", 6, "$.failed_layers: above the maximum"},
      {"/failed_layers", "0", "$.failed_layers: not of type"},
      {"/layers/0/verdict", "passed", "$.layers[0].verdict"},
      {"/layers/1/extra", true, "$.layers[1]: unexpected extra"},
      {"/layers/4/mainframes", Json::array({{{"address", "A"}, {"slots", Json::array()}}}),
       "$.layers[4].mainframes[0]: lacks identification"},
      {"/layers/4/mainframes", Json::array({{{"address", "A"}, {"identification", 5}, {"slots", Json::array()}}}),
       "$.layers[4].mainframes[0].identification: not of type [\"string\",\"null\"]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pointer);
    Json broken = good;
    broken[Json::json_pointer(c.pointer)] = c.value;
    const std::vector<std::string> found = SchemaViolations(broken, schema);
    ASSERT_EQ(found.size(), 1u) << Json(found).dump();
    EXPECT_EQ(found[0].rfind(c.violation, 0), 0u) << found[0];
  }
  Json shortList = good;
  shortList["layers"].erase(4);
  EXPECT_EQ(SchemaViolations(shortList, schema), std::vector<std::string>{"$.layers: fewer items than 5"});
  EXPECT_EQ(SchemaViolations(Json::object(), {{"format", "date"}}),
            std::vector<std::string>{"$: schema keyword format is not checked"});
}

TEST(JsonTextTest, EightBitTextBecomesUtf8) {
  EXPECT_EQ(Latin1ToUtf8("abc\r\n"), "abc\r\n");
  EXPECT_EQ(Latin1ToUtf8("Inf\xFC"), "Inf\xC3\xBC");
  EXPECT_EQ(Latin1ToUtf8("\x80\xFF"), "\xC2\x80\xC3\xBF");
}

}  // namespace
