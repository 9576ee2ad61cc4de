// benchsentry.exe with options: the parser, the run of Diagnose All without a
// window on the simulated bench, its exit codes, files and JSON report.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
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
#include "tests/fakes/FakeText.h"
#include "tests/fakes/FakeVisaCopies.h"
#include "tests/fakes/JsonSamples.h"
#include "tests/fakes/PlatformFixture.h"
#include "tests/fakes/ReportFixture.h"
#include "tests/unit/app/AppFixture.h"

namespace {

using Json = nlohmann::json;

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
      {"/all /json T /trace t", RunMode::Invalid, "", "", "", "the file \"T\" is named for two outputs"},
      {"/all /baseline g.json /tolerance .5 /json r.json", RunMode::DiagnoseAll, "", "", "r.json", ""},
      {"/compare a.json b.json /tolerance 2", RunMode::Compare, "", "", "", ""},
      {"/compare a.json", RunMode::Invalid, "", "", "", "the option /compare needs two file names"},
      {"/compare a.json b.json /all", RunMode::Invalid, "", "", "", "/compare runs nothing: it cannot go with /all"},
      {"/compare a b /baseline c", RunMode::Invalid, "", "", "", "/compare cannot go with /baseline"},
      {"/compare a b /text t.txt", RunMode::Invalid, "", "", "", "the option /text needs /all: /compare writes to the console only"},
      {"/compare a b /trace t.txt", RunMode::Invalid, "", "", "", "the option /trace needs /all: /compare writes to the console only"},
      {"/all /tolerance 2", RunMode::Invalid, "", "", "", "the option /tolerance needs /baseline or /compare"},
      {"/all /baseline g.json /tolerance -1", RunMode::Invalid, "", "", "", "the option /tolerance needs a number of decibels, such as 1 or 0.5"},
      {"/all /baseline g.json /tolerance 1.2.3", RunMode::Invalid, "", "", "", "the option /tolerance needs a number of decibels, such as 1 or 0.5"},
      {"/all /baseline R.json /json r.json", RunMode::Invalid, "", "", "", "the file \"r.json\" is named for the baseline and an output"},
      {"/io GPIB0::20::INSTR \"MEAS? 1\" /TIMEOUT 300 /write", RunMode::Io, "", "", "", ""},
      {"GPIB0::20::INSTR -io /read", RunMode::Io, "", "", "", ""},
      {"/io", RunMode::Invalid, "", "", "", "/io needs a VISA resource, such as GPIB0::20::INSTR"},
      {"/io GPIB0::20::INSTR", RunMode::Invalid, "", "", "", "/io needs a COMMAND to write, such as *IDN?"},
      {"/io R C /read", RunMode::Invalid, "", "", "", "/read writes nothing: it takes no COMMAND"},
      {"/io R C D", RunMode::Invalid, "", "", "", "unexpected argument \"D\""},
      {"/io R C /timeout 0", RunMode::Invalid, "", "", "", "the option /timeout needs a number of milliseconds from 1 to 600000"},
      {"/io R C /write /write", RunMode::Invalid, "", "", "", "the option /write is given twice"},
      {"/io R C /all", RunMode::Invalid, "", "", "", "the option /all cannot go with /io"},
      {"/io R \\x", RunMode::Invalid, "", "", "", "The command has a backslash at position 1 that is none of \\n, \\r, \\t, \\\\ or \\x with two hexadecimal digits."},
      {"/visa /json v.json", RunMode::VisaLibraries, "", "", "v.json", ""},
      {"/visa /all", RunMode::Invalid, "", "", "", "/visa runs only the VISA Libraries check: it cannot go with /all"},
      {"/visa /baseline g.json", RunMode::Invalid, "", "", "", "/visa cannot go with /baseline or /tolerance"},
      {"/compare a b /visa", RunMode::Invalid, "", "", "", "/compare runs nothing: it cannot go with /visa"},
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
  const CRunOptions compare = ParseCommandLine("/compare a.json \"b c.json\" /tolerance 0.25");
  EXPECT_EQ(compare.baselineFile + "|" + compare.compareFile, "a.json|b c.json");
  EXPECT_EQ(compare.toleranceDb, 0.25);
  EXPECT_EQ(ParseCommandLine("/all /baseline g.json").toleranceDb, kDefaultToleranceDb);
  const CIoOptions io = ParseCommandLine("/io GPIB0::20::INSTR \"MEAS? 1\" /TIMEOUT 300 /write").io;
  EXPECT_EQ(io.resource + "|" + io.command + "|" + std::to_string(io.timeoutMs), "GPIB0::20::INSTR|MEAS? 1|300");
  EXPECT_TRUE(io.writeOnly && !io.readOnly);
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
      {"read-only trace", "default.toml", "/all /trace C:\\locked\\t.txt", false,
       "cannot write the file \"C:\\locked\\t.txt\" (/trace)"},
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
    const std::string bytes = files.FileBytes("C:\\reports\\r.json").value_or("{}");
    KeepJsonSample(std::string("headless-") + c.name, bytes);
    const Json json = Json::parse(bytes);
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

// Broken reports the schema check must refuse, one violation each.
TEST(JsonSchemaCheckTest, EachKindOfViolationIsKeptForTheValidator) {
  Json good = {{"format", 2}, {"tool", {{"name", "benchsentry"}, {"version", "1.0"}}}, {"started", ""}, {"failed_layers", 0}, {"layers", Json::array()}};
  for (const CLayerEntry& layer : kLayers) {
    good["layers"].push_back({{"name", layer.name}, {"verdict", "ok"}, {"error_code", 0}, {"report", ""}});
  }
  KeepJsonSample("minimal", good.dump());
  const std::pair<const char*, Json> cases[] = {
      {"/tool/name", "other"},
      {"/started", "2001-03-02 14:05"},
      {"/failed_layers", 6},
      {"/failed_layers", "0"},
      {"/layers/0/verdict", "passed"},
      {"/layers/1/extra", true},
      {"/layers/4/mainframes", Json::array({{{"address", "A"}, {"slots", Json::array()}}})},
      {"/layers/4/mainframes", Json::array({{{"address", "A"}, {"identification", 5}, {"slots", Json::array()}}})},
      {"/layers/2/libraries", Json::array({{{"name", "a.dll"}, {"found", "missing"}, {"version", nullptr},
                                            {"version_string", nullptr}, {"publisher", nullptr},
                                            {"required_version", nullptr}, {"copies", Json::array({1})}}})},
      {"/layers/0/errors", Json::array({5})},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Json broken = good;
    broken[Json::json_pointer(cases[i].first)] = cases[i].second;
    KeepJsonSample("bad-" + std::to_string(i), broken.dump());
  }
  good["layers"].erase(4);
  KeepJsonSample("bad-short", good.dump());
}

TEST(JsonTextTest, EightBitTextBecomesUtf8) {
  EXPECT_EQ(Latin1ToUtf8("abc\r\n"), "abc\r\n");
  EXPECT_EQ(Latin1ToUtf8("Inf\xFC"), "Inf\xC3\xBC");
  EXPECT_EQ(Latin1ToUtf8("\x80\xFF"), "\xC2\x80\xC3\xBF");
}

}  // namespace

namespace {

class BaselineTest : public HeadlessRunTest {
 protected:
  BaselineTest() { m_files.AddDirectory("C:\\reports"); }

  // Each run with a console of its own.
  int Run(const std::string& line) {
    m_console = std::make_unique<FakeShell>();
    Platform platform = GetPlatform();
    platform.shell = m_console.get();
    platform.files = &m_files;
    SetPlatform(platform);
    return RunFromCommandLine(ParseCommandLine(line));
  }

  std::unique_ptr<FakeShell> m_console;
  FakeFileSystem m_files;
};

TEST_F(BaselineTest, BaselinesThatCannotBeUsed) {
  AddBench();
  Run("/all /json C:\\reports\\good.json");
  const std::string good = m_files.FileBytes("C:\\reports\\good.json").value();
  struct Case {
    const char* bytes;  // null: no such file
    const char* problem;
  };
  const std::string cut = good.substr(0, good.size() / 2);
  const std::string deep = "{\"tool\": " + std::string(100000, '[') + std::string(100000, ']') + "}";
  const Case cases[] = {
      {nullptr, "the file cannot be opened (missing, or not readable)"},
      {" \r\n", "it is empty"},
      {"<html>", "it is not JSON (at byte 1)"},
      {"{\"name\": \"left-pad\", \"version\": \"1.0\"}", "it is not a report of benchsentry"},
      {cut.c_str(), "it ends in the middle of the report (cut off?)"},
      {"{\"format\": 9, \"tool\": {\"name\": \"benchsentry\"}}", "it is of format 9, newer than this benchsentry reads"},
      {"{\"format\": \"2\", \"tool\": {\"name\": \"benchsentry\"}}", "its format \"2\" is not one of benchsentry"},
      {"{\"tool\": {\"name\": \"benchsentry\"}, \"layers\": {}}", "it holds no layers to compare"},
      {"{\"format\": 4294967297, \"tool\": {\"name\": \"benchsentry\"}}", "its format 4294967297 is not one of benchsentry"},
      {deep.c_str(), "it nests values deeper than a report (at byte 73)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.problem);
    m_files.DeleteFile("C:\\reports\\old.json");
    if (c.bytes != nullptr) m_files.AddFile("C:\\reports\\old.json", c.bytes);
    for (const char* line : {"/all /baseline C:\\reports\\old.json /json C:\\reports\\r.json",
                             "/compare C:\\reports\\good.json C:\\reports\\old.json"}) {
      m_files.DeleteFile("C:\\reports\\r.json");
      EXPECT_EQ(Run(line), kExitBadReport);
      const std::string role = line[1] == 'a' ? "baseline" : "report";
      EXPECT_EQ(m_console->ConsoleErrors().rfind("benchsentry: the " + role + " \"C:\\reports\\old.json\" cannot be compared: " + c.problem, 0), 0u)
          << m_console->ConsoleErrors();
      EXPECT_EQ(m_console->ConsoleOutput(), "");
      EXPECT_FALSE(m_files.Exists("C:\\reports\\r.json"));
    }
  }
}

TEST_F(BaselineTest, RunAgainstItsOwnBaselineAndAChangedBench) {
  AddBench();
  const int alone = Run("/all /json C:\\reports\\good.json");
  const std::string plain = m_console->ConsoleOutput();
  EXPECT_EQ(Run("/all /baseline C:\\reports\\good.json /json C:\\reports\\same.json /text C:\\reports\\same.txt"), alone);
  EXPECT_EQ(m_console->ConsoleOutput(),
            plain + "No change since the baseline of Friday, March 02, 2001, 14:05:09 (C:\\reports\\good.json)\r\n");
  KeepJsonSample("baseline-same", m_files.FileBytes("C:\\reports\\same.json").value_or("{}"));
  const Json same = Json::parse(m_files.FileBytes("C:\\reports\\same.json").value_or("{}"));
  EXPECT_EQ(same["changes"], Json::array());
  const std::string text = m_files.FileBytes("C:\\reports\\same.txt").value_or("");
  EXPECT_EQ(text.substr(text.rfind("**********************************************\r\r\nChanges")),
            "**********************************************\r\r\n"
            "Changes since the baseline of Friday, March 02, 2001, 14:05:09 \r\r\n"
            "**********************************************\r\r\n"
            "_______________________________\r\r\n"
            "No change since the baseline. \r\r\n\r\r\n");

  m_bench.UseShipped("changed.toml");
  // A failed layer's count wins over the changes.
  EXPECT_EQ(Run("/all /baseline C:\\reports\\good.json /json C:\\reports\\r.json /html C:\\reports\\r.html"), alone);
  KeepJsonSample("baseline-changed", m_files.FileBytes("C:\\reports\\r.json").value_or("{}"));
  const Json changed = Json::parse(m_files.FileBytes("C:\\reports\\r.json").value_or("{}"));
  std::vector<std::string> kinds;
  for (const Json& change : changed["changes"]) kinds.push_back(change["kind"]);
  EXPECT_EQ(kinds, (std::vector<std::string>{"resource_firmware", "module_moved", "reading_changed"}));
  EXPECT_NE(m_files.FileBytes("C:\\reports\\r.html").value_or("").find(
                "<i><font color=#900090>GPIB0::20::INSTR slot 12: module moved to slot 14</font></i><br>"),
            std::string::npos);
  const std::string console = m_console->ConsoleOutput();
  EXPECT_NE(console.find("Changes since the baseline of Friday, March 02, 2001, 14:05:09 (C:\\reports\\good.json):\r\n"
                         "GPIB layer:\r\n"
                         "  GPIB0::22::INSTR: firmware V3.12(4711) -> V3.14(5002)\r\n"
                         "Instrument layer:\r\n"
                         "  GPIB0::20::INSTR slot 12: module moved to slot 14\r\n"
                         "Optical layer:\r\n"
                         "  GPIB0::20::INSTR slot 1 channel 1: power -3.28 dBm -> -6.29 dBm (-3.01 dB)\r\n"
                         "3 changes since the baseline\r\n"),
            std::string::npos)
      << console;
  // Two saved reports give the same changes, without a run; with no layer failed
  // a change has its own exit code.
  for (const char* name : {"good", "r"}) {
    Json report = Json::parse(m_files.FileBytes(std::string("C:\\reports\\") + name + ".json").value_or("{}"));
    for (Json& layer : report["layers"]) layer["verdict"] = "ok";
    m_files.AddFile(std::string("C:\\reports\\") + name + "-ok.json", report.dump());
  }
  EXPECT_EQ(Run("/compare C:\\reports\\good-ok.json C:\\reports\\r-ok.json /tolerance 3.5"), kExitChanged);
  EXPECT_NE(m_console->ConsoleOutput().find("2 changes since the baseline\r\n"), std::string::npos) << m_console->ConsoleOutput();
  EXPECT_EQ(Run("/compare C:\\reports\\good-ok.json C:\\reports\\good-ok.json"), 0);
  // A baseline written before the error lines were kept compares none, and says so.
  Json old = Json::parse(m_files.FileBytes("C:\\reports\\r-ok.json").value_or("{}"));
  for (Json& layer : old["layers"]) layer.erase("errors");
  m_files.AddFile("C:\\reports\\old.json", old.dump());
  const std::string note = "The baseline was written before error lines were kept: they are not compared.\r\n";
  Run("/compare C:\\reports\\r-ok.json C:\\reports\\good.json");
  EXPECT_EQ(m_console->ConsoleOutput().find(note), std::string::npos);
  Run("/compare C:\\reports\\old.json C:\\reports\\good.json");
  EXPECT_NE(m_console->ConsoleOutput().find(note), std::string::npos);
}

// /visa alone where two copies of different publishers lie, then a baseline
// after the loaded library changed: its change comes before every other.
TEST_F(BaselineTest, VisaAloneAndTheLoadedLibraryFirstAmongTheChanges) {
  for (const char* library : {"kv740m_32.dll", "zeb_32.dll"}) ASSERT_TRUE(m_libraries.AddSimLibrary(library));
  const FakeVisaCopy program{"C:\\benchsentry\\visa32.dll", "visa-other", 32};
  PlaceVisaCopy(m_files, m_libraries, program);
  PlaceVisaCopy(m_files, m_libraries, {"C:\\WINNT\\system32\\visa32.dll", "", 32});
  LoadVisaFrom(m_libraries, program);
  EXPECT_EQ(Run("/visa /json C:\\reports\\v.json /text C:\\reports\\v.txt"), 1);
  EXPECT_EQ(m_console->ConsoleOutput(),
            "VISA Libraries: FAILED (2)\r\n"
            "  The 2 copies of visa32.dll a 32-bit program could get differ in version or publisher.\r\n"
            "  The loaded copy is not the one in the system folder C:\\WINNT\\system32.\r\n"
            "  The loaded library says its maker is Velmora Technologies, its file's publisher is Open Instrument "
            "Works.\r\n");
  const Json visa = Json::parse(m_files.FileBytes("C:\\reports\\v.json").value_or("{}"));
  EXPECT_EQ(visa["visa_libraries"]["loaded"]["path"], program.path);
  EXPECT_NE(m_files.FileBytes("C:\\reports\\v.txt").value_or("").find("VISA Libraries Check FAILED!!!."),
            std::string::npos);

  Run("/all /json C:\\reports\\good.json");
  m_bench.Use("format_version = 1\n[visa]\nmaker_name = \"Open Instrument Works\"\n");
  PlaceVisaCopy(m_files, m_libraries, {"C:\\WINNT\\visa32.dll", "visa-maker-74109", 32});
  Run("/all /baseline C:\\reports\\good.json /json C:\\reports\\r.json");
  const std::string console = m_console->ConsoleOutput();
  EXPECT_NE(console.find("(C:\\reports\\good.json):\r\nVISA libraries:\r\n"
                         "  visa32.dll loaded: maker Velmora Technologies -> Open Instrument Works\r\n"
                         "  C:\\WINNT\\visa32.dll: appeared: 74.1.0.9, Velmora Technologies\r\n"),
            std::string::npos)
      << console;
  const Json changed = Json::parse(m_files.FileBytes("C:\\reports\\r.json").value_or("{}"));
  KeepJsonSample("visa-changed", changed.dump());
  // /visa's object, in a whole report for the schema.
  Json alone = changed;
  alone["visa_libraries"] = visa["visa_libraries"];
  KeepJsonSample("visa-alone", alone.dump());
}

}  // namespace
