#include "app/HeadlessRun.h"

#include <cstdio>
#include <ctime>
#include <type_traits>

#include <nlohmann/json.hpp>

#include "app/BaselineRun.h"
#include "app/LayerRun.h"
#include "app/ReportExport.h"
#include "host/OsLayerCheck.h"
#include "host/SwLayerCheck.h"
#include "instrument/GpibLayerCheck.h"
#include "instrument/InstrLayerCheck.h"
#include "instrument/OpticalLayerCheck.h"
#include "platform/Platform.h"

const char kToolName[] = "benchsentry";
const char kToolVersion[] = "1.0";

namespace {

// The report window of a run without a window: every insert appends, as the
// caret stays at the end.
class CTextWindow : public IReportWindow {
 public:
  void ReplaceSelection(const char* text) override { m_text += text; }
  const std::string& Text() const { return m_text; }

 private:
  std::string m_text;
};

void Record(CLayerCheck&, CInstrumentRecord*) {}
void Record(CInstrLayerCheck& check, CInstrumentRecord* record) { check.SetRecorder(record); }

int Start(CLayerCheck& check) { return check.Begin(); }
int Start(CInstrLayerCheck& check) { return check.BeginWithDriver(); }

std::string LayerName(const CLayerCheck& check) {
  std::string name = check.Name();
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

template <class Check>
CLayerOutcome RunLayer(CTextWindow& window, ReportDocument& document) {
  CLayerOutcome outcome;
  CInstrumentRecord record;
  const size_t from = window.Text().size();
  {
    Check check;
    outcome.name = LayerName(check);
    outcome.instrument = std::is_base_of<CInstrLayerCheck, Check>::value;
    check.AttachWindow(&window, kModePlain);
    check.AttachBuffer(&document, kModeMarkup);
    Record(check, &record);
    Start(check);
    outcome.error = StepToEnd(check);
  }
  outcome.text = window.Text().substr(from);
  outcome.mainframes = record.Mainframes();
  return outcome;
}

std::string IsoLocalTime() {
  IClock* clock = GetPlatform().clock;
  std::tm now = {};
  if (clock == nullptr || !clock->LocalTime(now)) return std::string();
  char stamp[32] = {};
  if (std::strftime(stamp, sizeof(stamp), "%Y-%m-%dT%H:%M:%S", &now) == 0) return std::string();
  return stamp;
}

void Say(const std::string& text, bool error) {
  IShell* shell = GetPlatform().shell;
  if (shell != nullptr) shell->WriteToConsole(text.c_str(), error);
}

int Fail(const std::string& problem) {
  Say("benchsentry: " + problem + "\r\n", true);
  return kExitRunFailed;
}

struct COutputFile {
  const char* option;
  const std::string* path;
};

}  // namespace

int CDiagnoseAllResult::FailedLayers() const {
  int failed = 0;
  for (const CLayerOutcome& layer : layers) failed += layer.error != 0 ? 1 : 0;
  return failed;
}

CDiagnoseAllResult RunDiagnoseAll() {
  CDiagnoseAllResult result;
  result.started = IsoLocalTime();
  result.document = std::string(kReportHead) + kReportTitle;
  CTextWindow window;
  result.layers.push_back(RunLayer<COsLayerCheck>(window, result.document));
  result.layers.push_back(RunLayer<CSwLayerCheck>(window, result.document));
  result.layers.push_back(RunLayer<CGpibLayerCheck>(window, result.document));
  result.layers.push_back(RunLayer<CInstrLayerCheck>(window, result.document));
  result.layers.push_back(RunLayer<COpticalLayerCheck>(window, result.document));
  result.windowText = window.Text();
  return result;
}

std::string Latin1ToUtf8(const std::string& text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

const char* ModuleName(int32_t code) {
  switch (code) {
    case kSlotPowerMeter: return "single-channel power meter";
    case kSlotDualPowerMeter: return "dual-channel power meter";
    case kSlotLaserSource: return "single laser source";
    case kSlotDualLaserSource: return "dual-wavelength laser source";
    case kSlotTunableLaser: return "tunable laser source";
    case kSlotReturnLoss: return "return-loss module";
    case kSlotReturnLossCombo: return "return-loss combination module";
    default: return "undefined";
  }
}

std::string DiagnoseAllJson(const CDiagnoseAllResult& result) {
  using Json = nlohmann::ordered_json;
  Json root;
  root["tool"] = {{"name", kToolName}, {"version", kToolVersion}};
  root["started"] = result.started;
  root["failed_layers"] = result.FailedLayers();
  Json layers = Json::array();
  for (const CLayerOutcome& outcome : result.layers) {
    Json layer;
    layer["name"] = outcome.name;
    layer["verdict"] = outcome.error != 0 ? "failed" : "ok";
    layer["error_code"] = outcome.error;
    layer["report"] = Latin1ToUtf8(outcome.text);
    if (outcome.instrument) {
      Json mainframes = Json::array();
      for (const CMainframeRecord& record : outcome.mainframes) {
        Json mainframe;
        mainframe["address"] = Latin1ToUtf8(record.address);
        mainframe["identification"] =
            record.identified ? Json(Latin1ToUtf8(record.identification)) : Json(nullptr);
        Json slots = Json::array();
        for (const CSlotRecord& slotRecord : record.slots) {
          Json slot;
          slot["slot"] = slotRecord.slot;
          slot["type_code"] = slotRecord.code;
          slot["module"] = ModuleName(slotRecord.code);
          slot["identification"] =
              slotRecord.answered ? Json(Latin1ToUtf8(slotRecord.identification)) : Json(nullptr);
          Json measurements = Json::array();
          for (const CPowerRecord& power : slotRecord.measurements) {
            measurements.push_back(
                {{"channel", power.channel + 1}, {"dbm", power.dbm}, {"valid", power.ok}});
          }
          slot["measurements"] = measurements;
          slots.push_back(slot);
        }
        mainframe["slots"] = slots;
        mainframes.push_back(mainframe);
      }
      layer["mainframes"] = mainframes;
    }
    layers.push_back(layer);
  }
  root["layers"] = layers;
  return root.dump(2) + "\n";
}

int RunFromCommandLine(const CRunOptions& options) {
  switch (options.mode) {
    case RunMode::Interactive:
      return 0;
    case RunMode::Usage: {
      IShell* shell = GetPlatform().shell;
      // Asked for by a person: without a console the usage gets a window.
      if (shell != nullptr && !shell->WriteToConsole(kUsageText, false)) {
        shell->MessageBox(nullptr, kUsageText, kToolName, kMbOk);
      }
      return kExitUsage;
    }
    case RunMode::Invalid:
      Say(std::string("benchsentry: ") + options.problem + "\r\n\r\n" + kUsageText, true);
      return kExitRunFailed;
    case RunMode::Compare:
      return RunCompare(options);
    case RunMode::DiagnoseAll:
      break;
  }

  // A baseline that cannot be used is found before the run, as an unwritable file is.
  CBaselineComparison comparison;
  const bool compared = !options.baselineFile.empty();
  if (compared && !ReadBaseline(options.baselineFile, "baseline", comparison)) return kExitBadReport;

  IFileSystem* files = GetPlatform().files;
  const COutputFile outputs[] = {{"/html", &options.htmlFile},
                                 {"/text", &options.textFile},
                                 {"/json", &options.jsonFile}};
  // A file that cannot be written is found before a run of minutes, not after it.
  for (const COutputFile& output : outputs) {
    if (output.path->empty()) continue;
    FileHandle file = files != nullptr ? files->CreateForWrite(output.path->c_str()) : nullptr;
    if (file == nullptr) return Fail("cannot write the file \"" + *output.path + "\" (" + output.option + ")");
    files->Close(file);
  }

  CDiagnoseAllResult result = RunDiagnoseAll();
  std::string json = DiagnoseAllJson(result);
  if (compared) {
    comparison.changes = CompareReports(comparison.baseline.report, nlohmann::json::parse(json, nullptr, false),
                                        options.toleranceDb);
    WriteChangesSection(comparison, result.windowText, result.document);
    json = JsonWithChanges(json, comparison);
  }
  const std::string contents[] = {result.document, result.windowText, json};
  for (size_t i = 0; i < 3; ++i) {
    const std::string& path = *outputs[i].path;
    if (path.empty()) continue;
    if (WriteTextFile(*files, path.c_str(), contents[i]) != WriteStatus::Ok) {
      return Fail("the file \"" + path + "\" (" + outputs[i].option + ") could not be written");
    }
  }

  std::string summary;
  for (const CLayerOutcome& layer : result.layers) {
    summary += layer.name + " layer: " + (layer.error != 0 ? "FAILED (" + std::to_string(layer.error) + ")" : "OK") + "\r\n";
  }
  summary += std::to_string(result.FailedLayers()) + " of " + std::to_string(result.layers.size()) +
             " layers failed\r\n";
  if (compared) summary += ChangesConsoleText(comparison);
  Say(summary, false);
  return compared ? ExitCodeWithBaseline(result.FailedLayers(), comparison) : result.FailedLayers();
}
