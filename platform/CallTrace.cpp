#include "platform/CallTrace.h"

#include <cstring>

#include "platform/Platform.h"
#include "platform/StatusNames.h"
#include "platform/TracedLibraries.h"

const char kTraceColumns[] =
    "seq\tms\tduration_ms\tsource\tlibrary\tfunction\tresult\tstatus\tstatus_name\targuments\toutputs";

namespace {

// Touched only by the thread that makes the calls (the window's, or the run's);
// Now alone is also read where a call runs, and reads nothing of it but the origin.
struct TraceState {
  bool active = false;
  CTraceLog* log = nullptr;
  int64_t origin = 0;
  uint32_t next = 1;
  uint32_t lastFailure = 0;
  std::string source;
  CCallStats stats;
};

TraceState g_trace;

int64_t ClockMicroseconds() {
  IClock* clock = GetPlatform().clock;
  return clock != nullptr ? clock->Microseconds() : 0;
}

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

}  // namespace

const char* CallResultName(CallResult result) {
  switch (result) {
    case CallResult::Ok:
      return "ok";
    case CallResult::Warning:
      return "warning";
    case CallResult::Error:
      return "error";
    case CallResult::Timeout:
      return "timeout";
    default:
      return "-";
  }
}

CallResult JudgeStatus(TraceStatusKind kind, int32_t status) {
  if (kind != TraceStatusKind::Visa) return CallResult::Unjudged;
  if (status == kStatusTimeout) return CallResult::Timeout;
  if (status < 0) return CallResult::Error;
  if (status == 0) return CallResult::Ok;
  const char* name = StandardStatusName(status);
  return name != nullptr && std::strncmp(name, "VI_SUCCESS", 10) == 0 ? CallResult::Ok : CallResult::Warning;
}

std::string FormatTraceLine(const CTraceEntry& entry, const std::string& source) {
  std::string line = std::to_string(entry.sequence);
  line += '\t';
  line += Milliseconds(entry.start);
  line += '\t';
  line += Milliseconds(entry.duration);
  line += '\t';
  line += OrDash(source);
  line += '\t';
  line += entry.library;
  line += '\t';
  line += entry.function;
  line += '\t';
  line += CallResultName(entry.result);
  line += '\t';
  if (entry.hasStatus) {
    line += DecimalAndHex(static_cast<uint32_t>(entry.status), true);
    const char* name = entry.standardStatus ? StandardStatusName(entry.status) : nullptr;
    line += '\t';
    line += name != nullptr ? name : "-";
  } else {
    line += "-\t-";
  }
  line += '\t';
  line += OrDash(entry.arguments);
  line += '\t';
  line += OrDash(entry.outputs);
  return line;
}

void CTraceLog::Add(uint32_t sequence, std::string line) {
  m_lines.emplace_back(sequence, std::move(line));
  if (m_bound == 0 || m_lines.size() <= m_bound) return;
  const uint32_t dropped = m_lines.front().first;
  m_lines.pop_front();
  if (m_dropped == 0) m_firstDropped = dropped;
  m_lastDropped = dropped;
  ++m_dropped;
}

void CTraceLog::Clear() {
  m_lines.clear();
  m_dropped = 0;
}

std::string CTraceLog::Text(const std::vector<std::string>& notes) const {
  std::string text;
  for (const std::string& note : notes) text += "# " + note + "\n";
  if (m_dropped != 0) {
    text += "# " + std::to_string(m_dropped) + " older calls (" + std::to_string(m_firstDropped) + " to " +
            std::to_string(m_lastDropped) + ") are not in this file: only the last " + std::to_string(m_bound) +
            " calls are kept\n";
  }
  text += kTraceColumns;
  text += '\n';
  for (const auto& line : m_lines) {
    text += line.second;
    text += '\n';
  }
  return text;
}

void CCallTrace::Start(CTraceLog* log) {
  g_trace = TraceState();
  g_trace.active = true;
  g_trace.log = log;
  g_trace.origin = ClockMicroseconds();
}

void CCallTrace::Stop() { g_trace = TraceState(); }

bool CCallTrace::Active() { return g_trace.active; }

bool CCallTrace::KeepsLines() { return g_trace.active && g_trace.log != nullptr; }

void CCallTrace::SetSource(const std::string& source) { g_trace.source = source; }

const std::string& CCallTrace::Source() { return g_trace.source; }

void CCallTrace::ResetStats() { g_trace.stats = CCallStats(); }

const CCallStats& CCallTrace::Stats() { return g_trace.stats; }

uint32_t CCallTrace::NextSequence() { return g_trace.next; }

uint32_t CCallTrace::LastFailure() { return g_trace.lastFailure; }

int64_t CCallTrace::Now() { return ClockMicroseconds() - g_trace.origin; }

uint32_t CCallTrace::Take() { return g_trace.next++; }

void CCallTrace::Record(const CTraceEntry& entry) {
  if (!g_trace.active) return;
  CCallStats& stats = g_trace.stats;
  ++stats.calls;
  if (entry.result == CallResult::Error || entry.result == CallResult::Timeout) {
    ++stats.errors;
    if (entry.sequence > g_trace.lastFailure) g_trace.lastFailure = entry.sequence;
  }
  if (entry.result == CallResult::Timeout) ++stats.timeouts;
  if (stats.slowestSequence == 0 || entry.duration > stats.slowestMicros) {
    stats.slowestSequence = entry.sequence;
    stats.slowestMicros = entry.duration;
    stats.slowestLibrary = entry.library;
    stats.slowestFunction = entry.function;
  }
  if (g_trace.log != nullptr) g_trace.log->Add(entry.sequence, FormatTraceLine(entry, g_trace.source));
}

CCallRecord::CCallRecord(const CTracedFunction& function, const CTraceArg* args, size_t count)
    : m_function(function), m_text(function, args, count) {
  m_entry.sequence = CCallTrace::Take();
  m_entry.library = function.Library().file;
  m_entry.function = function.Name();
  m_lines = CCallTrace::KeepsLines();
  if (m_lines) m_entry.arguments = m_text.Inputs();
}

void CCallRecord::Finish(int64_t result) {
  m_entry.hasStatus = true;
  m_entry.status = static_cast<int32_t>(result);
  m_entry.standardStatus = m_function.Library().statuses == TraceStatusKind::Visa;
  m_entry.result = JudgeStatus(m_function.Library().statuses, m_entry.status);
  if (m_lines) m_entry.outputs = m_text.Outputs();
  CCallTrace::Record(m_entry);
}

CTraceSession::CTraceSession(CTraceLog* log) {
  CCallTrace::Start(log);
  Platform platform = GetPlatform();
  if (platform.libraries == nullptr) return;
  m_libraries = std::make_unique<CTracedLibraries>(*platform.libraries);
  platform.libraries = m_libraries.get();
  SetPlatform(platform);
}

CTraceSession::~CTraceSession() {
  Platform platform = GetPlatform();
  if (m_libraries != nullptr && platform.libraries == m_libraries.get()) {
    platform.libraries = &static_cast<CTracedLibraries&>(*m_libraries).Wrapped();
    SetPlatform(platform);
  }
  CCallTrace::Stop();
}
