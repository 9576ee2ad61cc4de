#include "report/ReportWriter.h"

#include <cstring>
#include <ctime>

#include "platform/CallTrace.h"
#include "platform/Platform.h"
#include "report/Findings.h"
#include "report/Markup.h"

const char kColourError[] = "#ff0000";
const char kColourOk[] = "#009000";
const char kColourInfo[] = "#900090";

namespace {

constexpr size_t kConversionBufferSize = 1024;
constexpr size_t kColourHeadSize = 100;
constexpr size_t kTimestampSize = 128;

}  // namespace

CReportWriter::CReportWriter() : m_callsSeen(CCallTrace::NextSequence()) {}

CReportWriter::~CReportWriter() { Flush(); }

void CReportWriter::Flush() {
  if (m_pending.empty()) return;
  if (m_window != nullptr) m_window->ReplaceSelection(m_pending.c_str());
  // clear() keeps the capacity: the next step appends without reallocating.
  m_pending.clear();
}

int CReportWriter::AttachWindow(IReportWindow* window, int mode) {
  // What was written belongs to the window it was written for.
  Flush();
  m_window = window;
  if (window == nullptr) {
    m_windowMode = kModeOff;
    return 0;
  }
  if (mode == kModePlain || mode == kModeMarkup) m_windowMode = mode;
  return 1;
}

void CReportWriter::AttachBuffer(ReportDocument* document, int mode) {
  if (mode != kModePlain && mode != kModeMarkup) return;
  m_buffer = document;
  m_bufferMode = mode;
}

int CReportWriter::Write(const char* text) {
  char converted[kConversionBufferSize] = {};
  if (!m_writingError) m_errorOpen = false;
  const bool tracking = m_errors != nullptr && (m_inError || m_onErrorLine);
  const bool off = m_windowMode == kModeOff && m_bufferMode == kModeOff;
  if (off && !tracking) return 0;
  // A missing text (an answer that never came) is written as an empty one.
  if (text == nullptr) text = "";

  // Texts longer than the stack buffer are converted whole on the heap rather than cut.
  std::string longConverted;
  const char* plain = converted;
  if (m_windowMode == kModePlain || m_bufferMode == kModePlain || tracking) {
    size_t length = std::strlen(text);
    if (length < kConversionBufferSize) {
      MarkupToText(text, converted);
    } else {
      longConverted = MarkupToText(std::string(text, length));
      plain = longConverted.c_str();
    }
  }
  if (tracking) Track(plain);
  if (off) return 0;
  Emit(plain, text);
  return 1;
}

void CReportWriter::Emit(const char* plain, const char* markup) {
  if (m_window != nullptr) {
    if (m_windowMode == kModePlain) m_pending += plain;
    else if (m_windowMode == kModeMarkup && markup != nullptr) m_pending += markup;
  }
  if (m_buffer != nullptr) {
    if (m_bufferMode == kModePlain) m_buffer->append(plain);
    else if (m_bufferMode == kModeMarkup && markup != nullptr) m_buffer->append(markup);
  }
}

void CReportWriter::WritePlain(const char* text) {
  if (!m_writingError) m_errorOpen = false;
  if (text != nullptr) Emit(text, nullptr);
}

int CReportWriter::WriteEscaped(const char* text) {
  if (!m_writingError) m_errorOpen = false;
  if (text == nullptr) text = "";
  if (m_errors != nullptr && (m_inError || m_onErrorLine)) Track(text);
  if (m_windowMode == kModeOff && m_bufferMode == kModeOff) return 0;
  std::string escaped;
  if (m_windowMode == kModeMarkup || m_bufferMode == kModeMarkup) escaped = EscapeMarkup(text);
  Emit(text, escaped.c_str());
  return 1;
}

void CReportWriter::Track(const char* plain) {
  for (const char* c = plain; *c != '\0'; ++c) {
    if (*c == '\n') {
      EndErrorLine();
      continue;
    }
    // The line holds error text from its first character that an error writes.
    if (!m_onErrorLine) {
      if (!m_inError) continue;
      m_onErrorLine = true;
    }
    m_errorLine += *c;
  }
}

void CReportWriter::EndErrorLine() {
  if (!m_onErrorLine) return;
  m_onErrorLine = false;
  const char* blanks = " \t\r";
  const size_t first = m_errorLine.find_first_not_of(blanks);
  if (first != std::string::npos && m_errors != nullptr) {
    m_errors->AddError(m_errorLine.substr(first, m_errorLine.find_last_not_of(blanks) - first + 1));
  }
  m_errorLine.clear();
}

void CReportWriter::WriteColourHead(const char* head, const char* colour) {
  char tag[kColourHeadSize] = {};
  std::strncat(tag, head, sizeof(tag) - 1);
  std::strncat(tag, colour, sizeof(tag) - 1 - std::strlen(tag));
  std::strncat(tag, ">", sizeof(tag) - 1 - std::strlen(tag));
  Write(tag);
}

int CReportWriter::WriteError(const char* text) { return WriteMarked(text, false); }

int CReportWriter::WriteMarked(const char* text, bool external) {
  const std::string given = text != nullptr ? text : "";
  NoteErrorCall(external ? given : MarkupToText(given));
  m_writingError = true;
  WriteColourHead("<b><font color=", kColourError);
  WritePlain("######");
  m_inError = true;
  if (external) {
    WriteEscaped(text);
  } else {
    Write(text);
  }
  m_inError = false;
  const int result = Write("</font></b>");
  m_writingError = false;
  return result;
}

void CReportWriter::WriteOk(const char* text) {
  WriteColourHead("<b><font color=", kColourOk);
  Write(text);
  Write("</font></b>");
}

int CReportWriter::WriteInfo(const char* text) {
  WriteColourHead("<i><font color=", kColourInfo);
  Write(text);
  return Write("</font></i>");
}

int CReportWriter::WriteExternal(const char* text) { return WriteEscaped(text); }

int CReportWriter::WriteInfoExternal(const char* text) {
  WriteColourHead("<i><font color=", kColourInfo);
  WriteEscaped(text);
  return Write("</font></i>");
}

int CReportWriter::WriteErrorExternal(const char* text) { return WriteMarked(text, true); }

void CReportWriter::WriteTimestamp() {
  char stamp[kTimestampSize] = {};
  std::tm now = {};
  IClock* clock = GetPlatform().clock;
  if (clock != nullptr && clock->LocalTime(now)) {
    // strftime in the C locale: the program never changes the locale.
    if (std::strftime(stamp, sizeof(stamp), "%A, %B %d, %Y, %H:%M:%S,  ", &now) == 0) stamp[0] = '\0';
  }
  Write(stamp);
}

// ---- The calls behind the error texts (the trace's side of the findings) ----

void CReportWriter::ResetErrorCalls() {
  m_callsSeen = CCallTrace::NextSequence();
  m_errorCall = 0;
  m_errorOpen = false;
}

void CReportWriter::NoteErrorCall(const std::string& text) {
  const uint32_t next = CCallTrace::NextSequence();
  const uint32_t failure = CCallTrace::LastFailure();
  uint32_t call = 0;
  if (failure != 0 && failure >= m_callsSeen) {
    // The latest call that failed since the previous error text.
    call = failure;
  } else if (m_errorOpen && next == m_callsSeen) {
    // Straight after the previous error text, nothing written or called since:
    // the same error goes on (a message after its heading).
    call = m_errorCall;
  }
  m_errorCall = call;
  m_callsSeen = next;
  m_errorOpen = true;
  // One line of text: its line ends and surrounding blanks do not count.
  std::string line;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (!line.empty() && line.back() != ' ') line += ' ';
    } else {
      line += c;
    }
  }
  const size_t first = line.find_first_not_of(' ');
  line = first == std::string::npos ? std::string() : line.substr(first, line.find_last_not_of(' ') - first + 1);
  m_errorCalls.push_back({line, call});
}

void CReportWriter::EndErrorReport() { m_callsSeen = CCallTrace::NextSequence(); }
