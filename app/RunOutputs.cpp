#include "app/RunOutputs.h"

#include <ctime>
#include <vector>

#include "app/Console.h"
#include "app/ReportExport.h"
#include "platform/CallTrace.h"
#include "platform/Platform.h"

namespace {

bool Fail(const std::string& problem) {
  Say("benchsentry: " + problem + "\r\n", true);
  return false;
}

// Where a report is written before it takes the place of the file it replaces.
std::string PartialFileName(const std::string& path) { return path + ".partial"; }

struct COutputFile {
  const char* option;
  const std::string* path;
};

std::vector<COutputFile> Outputs(const CRunOptions& options) {
  return {{"/html", &options.htmlFile},
          {"/text", &options.textFile},
          {"/json", &options.jsonFile},
          {"/trace", &options.traceFile}};
}

}  // namespace

CLayerOutcome RunCheckWithoutWindow(const char* name, const CCheckRunner::MakeCheck& make, std::string& windowText,
                                    ReportDocument& document) {
  CTextWindow window(windowText);
  CRunTarget target;
  target.window = &window;
  target.windowMode = kModePlain;
  target.document = &document;
  target.documentMode = kModeMarkup;
  CLayerOutcome outcome;
  outcome.name = name;
  const size_t from = windowText.size();
  CCallTrace::ResetStats();
  outcome.error = CCheckRunner(target).Run(make, [&outcome](CLayerCheck& check) {
    outcome.findings = check.Findings().Root();
    outcome.errors = check.Findings().Errors();
    outcome.calls = CCallTrace::Stats();
    outcome.errorCalls = check.ErrorCalls();
  });
  outcome.text = windowText.substr(from);
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

bool OutputsWritable(const CRunOptions& options) {
  IFileSystem* files = GetPlatform().files;
  for (const COutputFile& output : Outputs(options)) {
    if (output.path->empty()) continue;
    const std::string partial = PartialFileName(*output.path);
    FileHandle file = files != nullptr ? files->CreateForWrite(partial.c_str()) : nullptr;
    if (file == nullptr) return Fail("cannot write the file \"" + *output.path + "\" (" + output.option + ")");
    files->Close(file);
    files->DeleteFile(partial.c_str());
  }
  return true;
}

bool WriteOutputs(const CRunOptions& options, const std::string& html, const std::string& text,
                  const std::string& json, const std::string& trace) {
  IFileSystem* files = GetPlatform().files;
  const std::string* contents[] = {&html, &text, &json, &trace};
  size_t i = 0;
  for (const COutputFile& output : Outputs(options)) {
    const std::string& path = *output.path;
    const std::string& content = *contents[i++];
    if (path.empty()) continue;
    // An existing report is only ever replaced by a whole new one.
    const std::string partial = PartialFileName(path);
    if (files == nullptr || WriteTextFile(*files, partial.c_str(), content) != WriteStatus::Ok ||
        !files->MoveFileReplacing(partial.c_str(), path.c_str())) {
      if (files != nullptr) files->DeleteFile(partial.c_str());
      return Fail("the file \"" + path + "\" (" + output.option + ") could not be written");
    }
  }
  return true;
}
