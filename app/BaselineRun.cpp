#include "app/BaselineRun.h"

#include "app/Console.h"
#include "app/JsonReport.h"
#include "app/VisaCompare.h"
#include "platform/Platform.h"

namespace {

using Json = nlohmann::ordered_json;

// Each change line fits the writer's conversion buffer with room for its markup.
std::string Shortened(std::string line) {
  if (line.size() > 700) line = line.substr(0, 697) + "...";
  return line;
}

// The changes of each layer in turn, as the report lists its layers.
template <class Visit>
void ByLayer(const std::vector<CChange>& changes, Visit visit) {
  for (size_t from = 0; from < changes.size();) {
    size_t to = from;
    while (to < changes.size() && changes[to].layer == changes[from].layer) ++to;
    visit(changes[from].layer, from, to);
    from = to;
  }
}

std::string Heading(const CBaselineComparison& comparison) {
  return "since the baseline of " + Utf8ToLatin1(ReportDate(comparison.baseline.report));
}

std::string CountText(size_t count) {
  return count == 1 ? "1 change" : std::to_string(count) + " changes";
}

bool KeepsErrorLines(const Json& report) {
  for (const Json& layer : report.value(Finding::Report::layers.key, Json::array())) {
    if (layer.is_object() && layer.contains(Finding::LayerRun::errors.key)) return true;
  }
  return false;
}

int FailedLayersOf(const Json& report) {
  int failed = 0;
  for (const Json& layer : report.value(Finding::Report::layers.key, Json::array())) {
    failed += layer.is_object() && layer.value(Finding::LayerRun::verdict.key, Json()) == "failed" ? 1 : 0;
  }
  return failed;
}

}  // namespace

std::string Utf8ToLatin1(const std::string& text) {
  std::string latin1;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      latin1 += text[i];
      continue;
    }
    size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    if (length == 2 && byte <= 0xC3 && i + 1 < text.size()) {
      latin1 += static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
    } else {
      latin1 += '?';
    }
    i += length - 1;
  }
  return latin1;
}

bool ReadBaseline(const std::string& file, const char* role, CBaselineComparison& comparison) {
  comparison.file = file;
  IFileSystem* files = GetPlatform().files;
  comparison.baseline = files != nullptr ? ReadReportFile(*files, file) : ParseReport("");
  if (comparison.baseline.problem.empty()) return true;
  Say(std::string("benchsentry: the ") + role + " \"" + file + "\" cannot be compared: " +
          comparison.baseline.problem + "\r\n",
      true);
  return false;
}

std::string ChangesConsoleText(const CBaselineComparison& comparison) {
  std::string text;
  const std::string where = Heading(comparison) + " (" + comparison.file + ")";
  if (comparison.baseline.format < kJsonFormat) {
    text += "The baseline is of the older format " + std::to_string(comparison.baseline.format) +
            ": what it does not hold is not compared.\r\n";
  } else if (!KeepsErrorLines(comparison.baseline.report)) {
    text += "The baseline was written before error lines were kept: they are not compared.\r\n";
  }
  if (comparison.changes.empty()) return text + "No change " + where + "\r\n";
  text += "Changes " + where + ":\r\n";
  ByLayer(comparison.changes, [&](const std::string& layer, size_t from, size_t to) {
    text += ChangeGroupTitle(layer) + ":\r\n";
    for (size_t i = from; i < to; ++i) text += "  " + Utf8ToLatin1(ChangeLine(comparison.changes[i])) + "\r\n";
  });
  return text + CountText(comparison.changes.size()) + " since the baseline\r\n";
}

void WriteChangesSection(const CBaselineComparison& comparison, std::string& windowText, ReportDocument& document) {
  CTextWindow window(windowText);
  // The checks' writer, for a section that is no layer's.
  CReportWriter section;
  section.AttachWindow(&window, kModePlain);
  section.AttachBuffer(&document, kModeMarkup);
  section.Write("**********************************************<br>\r\n<b>");
  section.WriteExternal(("Changes " + Heading(comparison)).c_str());
  section.Write("</b> <br>\r\n**********************************************<br>\r\n");
  ByLayer(comparison.changes, [&](const std::string& layer, size_t from, size_t to) {
    section.Write("<b>");
    section.WriteExternal(Utf8ToLatin1(ChangeGroupTitle(layer)).c_str());
    section.Write(":</b><br>\r\n");
    for (size_t i = from; i < to; ++i) {
      section.WriteInfoExternal(Shortened(Utf8ToLatin1(ChangeLine(comparison.changes[i]))).c_str());
      section.Write("<br>\r\n");
    }
  });
  section.Write("_______________________________<br>\r\n");
  if (comparison.changes.empty()) {
    section.WriteOk("No change since the baseline. <br>\r\n");
  } else {
    section.WriteError((CountText(comparison.changes.size()) + " since the baseline. <br>\r\n").c_str());
  }
  section.Write("<hr><br>\r\n");
}

void AddComparison(Json& report, const CBaselineComparison& comparison) {
  namespace Baseline = Finding::Baseline;
  const Json started = comparison.baseline.report.value(Finding::Report::started.key, Json());
  report[Finding::Report::baseline.key] = {{Baseline::file.key, Latin1ToUtf8(comparison.file)},
                                           {Baseline::started.key, started.is_string() ? started : Json("")},
                                           {Baseline::format.key, comparison.baseline.format}};
  report[Finding::Report::changes.key] = ChangesJson(comparison.changes);
}

int ExitCodeWithBaseline(int failedLayers, const CBaselineComparison& comparison) {
  if (failedLayers > 0) return failedLayers;
  return comparison.changes.empty() ? 0 : kExitChanged;
}

int RunCompare(const CRunOptions& options) {
  CBaselineComparison comparison;
  CBaselineComparison newer;
  if (!ReadBaseline(options.baselineFile, "report", comparison) || !ReadBaseline(options.compareFile, "report", newer)) {
    return kExitBadReport;
  }
  comparison.changes = CompareReports(comparison.baseline.report, newer.baseline.report, options.toleranceDb);
  Say(options.compareFile + " (" + Utf8ToLatin1(ReportDate(newer.baseline.report)) + "): " +
          std::to_string(FailedLayersOf(newer.baseline.report)) + " of " +
          std::to_string(newer.baseline.report[Finding::Report::layers.key].size()) + " layers failed\r\n" +
          ChangesConsoleText(comparison),
      false);
  return ExitCodeWithBaseline(FailedLayersOf(newer.baseline.report), comparison);
}
