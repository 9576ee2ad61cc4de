#pragma once
// The trace of every call into the bench libraries (visa32.dll, kv740m_32.dll,
// zeb_32.dll) and of every load and free of them. It is recorded where every such
// call passes: the late-bound binding (platform/LateBinding.h) and the loading of
// libraries (platform/TracedLibraries.h). Calls are numbered in the order they are
// made, timed, counted for the command that made them, and, when a log listens,
// written out as one line each.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Libraries.h"
#include "platform/TraceFormat.h"

enum class CallResult : uint8_t { Unjudged, Ok, Warning, Error, Timeout };

// "-", "ok", "warning", "error", "timeout".
const char* CallResultName(CallResult result);
// A status as its library's kind of status reads: negative fails, VI_ERROR_TMO
// is a time-out, a positive one other than a VI_SUCCESS_... is a warning.
CallResult JudgeStatus(TraceStatusKind kind, int32_t status);

// One call as the trace keeps it.
struct CTraceEntry {
  uint32_t sequence = 0;
  int64_t start = 0;     // microseconds since the trace began
  int64_t duration = 0;  // microseconds
  const char* library = "";
  const char* function = "";
  CallResult result = CallResult::Unjudged;
  bool hasStatus = false;
  bool standardStatus = false;  // a VISA or driver status, named where the standards name it
  int32_t status = 0;
  std::string arguments;  // "name=value, ..." as the call was given them
  std::string outputs;    // what its output arguments held after it
};

// The column titles and one call's line: tab-separated, nothing in a column
// shown as "-", every text quoted and escaped, so the line holds no tab or line
// end of its own.
extern const char kTraceColumns[];
std::string FormatTraceLine(const CTraceEntry& entry, const std::string& source);

// What one command's calls came to.
struct CCallStats {
  uint32_t calls = 0;
  uint32_t errors = 0;    // calls that failed, time-outs included
  uint32_t timeouts = 0;
  uint32_t slowestSequence = 0;  // 0: no call
  int64_t slowestMicros = 0;
  const char* slowestLibrary = "";
  const char* slowestFunction = "";
};

// The lines of a run (every call) or of a window (the last bound calls).
class CTraceLog {
 public:
  // bound 0: every call is kept.
  explicit CTraceLog(size_t bound = 0) : m_bound(bound) {}
  void Add(uint32_t sequence, std::string line);
  // The calls so far are forgotten: the next text starts after them.
  void Clear();
  size_t Bound() const { return m_bound; }
  size_t Size() const { return m_lines.size(); }
  uint32_t Dropped() const { return m_dropped; }
  // The file's text: notes as "# " lines (and one for the calls dropped), the
  // column titles, then one line per call; LF line ends.
  std::string Text(const std::vector<std::string>& notes) const;

 private:
  size_t m_bound;
  std::deque<std::pair<uint32_t, std::string>> m_lines;
  uint32_t m_dropped = 0;
  uint32_t m_firstDropped = 0;
  uint32_t m_lastDropped = 0;
};

class CCallTrace {
 public:
  // From now on every call is numbered from 1, timed from now and counted; log
  // (may be null: counts only) receives each call's line.
  static void Start(CTraceLog* log);
  static void Stop();
  static bool Active();
  static bool KeepsLines();
  // The layer or command that makes the calls from now on ("GPIB", "Triggers").
  static void SetSource(const std::string& source);
  static const std::string& Source();
  // The counts start again, for the next command.
  static void ResetStats();
  static const CCallStats& Stats();
  // The number the next call will get; that of the latest call that failed (0: none).
  static uint32_t NextSequence();
  static uint32_t LastFailure();
  // Microseconds since the start.
  static int64_t Now();

  // A call about to be made takes its number; once made it is recorded.
  static uint32_t Take();
  static void Record(const CTraceEntry& entry);
};

// One call through a late-bound entry: its inputs read before it, its outputs
// after it, then recorded. Started and Ended run where the call runs.
class CCallRecord {
 public:
  CCallRecord(const CTracedFunction& function, const CTraceArg* args, size_t count);
  void Started() { m_entry.start = CCallTrace::Now(); }
  void Ended() { m_entry.duration = CCallTrace::Now() - m_entry.start; }
  void Finish(int64_t result);

 private:
  const CTracedFunction& m_function;
  CCallText m_text;
  CTraceEntry m_entry;
  bool m_lines = false;
};

// A trace for as long as the object lives, with the platform's libraries
// wrapped so that the bench libraries' loads and frees are in it.
class CTraceSession {
 public:
  explicit CTraceSession(CTraceLog* log);
  ~CTraceSession();
  CTraceSession(const CTraceSession&) = delete;
  CTraceSession& operator=(const CTraceSession&) = delete;

 private:
  std::unique_ptr<ILibraries> m_libraries;
};
