#include "app/TraceReport.h"

#include "app/Version.h"
#include "report/Findings.h"

namespace {

const char kTraceTitle[] =
    "benchsentry " BS_VERSION_TEXT " I/O trace, format 1: every call into visa32.dll, kv740m_32.dll and "
    "zeb_32.dll and every load and free of them, in the order made; one line per call, tab-separated";

std::string Since(const char* what, const std::string& started) {
  return std::string(what) + (started.empty() ? std::string() : " " + started) + "; ms counts from then";
}

}  // namespace

std::vector<std::string> RunTraceNotes(const std::string& started) {
  return {kTraceTitle, Since("run /all started", started)};
}

std::vector<std::string> WindowTraceNotes(const std::string& started, uint32_t clearedFrom) {
  return {kTraceTitle, Since("window opened", started),
          clearedFrom == 0 ? std::string("the calls since the window opened")
                           : "the calls since Clear, from call " + std::to_string(clearedFrom) + " on"};
}

nlohmann::ordered_json LayerCallsJson(const CCallStats& calls, const std::vector<CErrorCall>& errorLines) {
  using Json = nlohmann::ordered_json;
  namespace Io = Finding::LayerIo;
  namespace Slowest = Finding::SlowestCall;
  namespace Line = Finding::ErrorLine;
  Json io;
  io[Io::calls.key] = calls.calls;
  io[Io::errors.key] = calls.errors;
  io[Io::timeouts.key] = calls.timeouts;
  if (calls.slowestSequence != 0) {
    io[Io::slowest.key] = {{Slowest::call.key, calls.slowestSequence},
                           {Slowest::library.key, calls.slowestLibrary},
                           {Slowest::function.key, calls.slowestFunction},
                           {Slowest::ms.key, static_cast<double>(calls.slowestMicros) / 1000.0}};
  } else {
    io[Io::slowest.key] = nullptr;
  }
  Json lines = Json::array();
  for (const CErrorCall& line : errorLines) {
    lines.push_back({{Line::text.key, Latin1ToUtf8(line.text)}, {Line::call.key, line.call != 0 ? Json(line.call) : Json()}});
  }
  io[Io::error_lines.key] = lines;
  return io;
}
