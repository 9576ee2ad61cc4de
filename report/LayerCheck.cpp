#include "report/LayerCheck.h"

#include <cstring>
#include <ctime>

#include "platform/CallTrace.h"
#include "platform/Platform.h"

const char kColourError[] = "#ff0000";
const char kColourOk[] = "#009000";
const char kColourInfo[] = "#900090";

namespace {

constexpr size_t kConversionBufferSize = 1024;
constexpr size_t kColourHeadSize = 100;
constexpr size_t kTimestampSize = 128;

const char kBannerStars[] = "**********************************************<br>\r\n<b>";
const char kBannerClose[] = " <br>\r\n**********************************************<br>\r\n";

}  // namespace

CLayerCheck::CLayerCheck() : m_callsSeen(CCallTrace::NextSequence()) {}

CLayerCheck::~CLayerCheck() { Flush(); }

void CLayerCheck::Flush() {
  if (m_pending.empty()) return;
  if (m_window != nullptr) m_window->ReplaceSelection(m_pending.c_str());
  // clear() keeps the capacity: the next step appends without reallocating.
  m_pending.clear();
}

int CLayerCheck::Step() { return -1; }

void CLayerCheck::SetName(const char* name) {
  std::strncpy(m_name, name, sizeof(m_name) - 1);
  m_name[sizeof(m_name) - 1] = '\0';
}

int CLayerCheck::AttachWindow(IReportWindow* window, int mode) {
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

void CLayerCheck::AttachBuffer(ReportDocument* document, int mode) {
  if (mode != kModePlain && mode != kModeMarkup) return;
  m_buffer = document;
  m_bufferMode = mode;
}

int CLayerCheck::Begin() {
  m_task = 1;
  m_callsSeen = CCallTrace::NextSequence();
  m_errorCall = 0;
  m_errorOpen = false;
  WriteHeaderBanner((std::string(m_name) + "Layer check, </b>").c_str());
  m_error = 0;
  return m_task;
}

void CLayerCheck::WriteHeaderBanner(const char* title) {
  Write(kBannerStars);
  Write(title);
  WriteTimestamp();
  Write(kBannerClose);
}

const char* CLayerCheck::Keep(const char* key, const char* text) {
  m_findings.Set(key, text);
  return text;
}

int64_t CLayerCheck::KeepInteger(const char* key, int64_t value) {
  m_findings.SetInteger(key, value);
  return value;
}

const char* CLayerCheck::KeepWords(const char* key, const char* text) {
  m_findings.AppendWords(key, text);
  return text;
}

const char* CLayerCheck::KeepItem(const char* list, const char* text) {
  m_findings.Append(list, text);
  return text;
}

void CLayerCheck::MarkupToText(const char* source, char* destination) {
  bool inside = false;
  size_t out = 0;
  for (size_t i = 0; source[i] != '\0'; ++i) {
    if (i > 0 && source[i - 1] == '>') inside = false;
    if (source[i] == '<') {
      inside = true;
    } else if (!inside) {
      destination[out++] = source[i];
    }
  }
  destination[out] = '\0';
}

std::string CLayerCheck::MarkupToText(const std::string& source) {
  std::string plain(source.size() + 1, '\0');
  MarkupToText(source.c_str(), &plain[0]);
  plain.resize(std::strlen(plain.c_str()));
  return plain;
}

std::string CLayerCheck::EscapeMarkup(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '&': escaped += "&amp;"; break;
      default: escaped += c; break;
    }
  }
  return escaped;
}

void CLayerCheck::ReportProgress(const char* detail) {
  if (m_progress == nullptr) return;
  // A step the throttle passes over still gets its caption at the next point.
  if (detail != nullptr) m_caption = std::string(m_name) + "layer: " + detail;
  if (!m_progress->RefreshDue()) return;
  // What the window paints is never behind what the check has written.
  Flush();
  m_progress->ShowProgress(m_caption.empty() ? nullptr : m_caption.c_str());
  m_caption.clear();
}

void CLayerCheck::ReportBlockingCall(const char* detail, const char* call) {
  if (m_progress == nullptr) return;
  Flush();
  m_caption.clear();
  const std::string text = std::string(m_name) + "layer: " + detail;
  m_progress->ShowBlockingCall(text.c_str(), call);
}

int CLayerCheck::Write(const char* text) {
  char converted[kConversionBufferSize] = {};
  if (!m_writingError) m_errorOpen = false;
  if (m_windowMode == kModeOff && m_bufferMode == kModeOff) return 0;
  // A missing text (an answer that never came) is written as an empty one.
  if (text == nullptr) text = "";

  // Texts longer than the stack buffer are converted whole on the heap rather than cut.
  std::string longConverted;
  const char* plain = converted;
  if (m_windowMode == kModePlain || m_bufferMode == kModePlain) {
    size_t length = std::strlen(text);
    if (length < kConversionBufferSize) {
      MarkupToText(text, converted);
    } else {
      longConverted = MarkupToText(std::string(text, length));
      plain = longConverted.c_str();
    }
  }

  if (m_window != nullptr) {
    if (m_windowMode == kModePlain) m_pending += plain;
    else if (m_windowMode == kModeMarkup) m_pending += text;
  }
  if (m_buffer != nullptr) {
    if (m_bufferMode == kModePlain) m_buffer->append(plain);
    else if (m_bufferMode == kModeMarkup) m_buffer->append(text);
  }
  return 1;
}

void CLayerCheck::WritePlain(const char* text) {
  if (!m_writingError) m_errorOpen = false;
  if (text == nullptr) return;
  if (m_window != nullptr && m_windowMode == kModePlain) m_pending += text;
  if (m_buffer != nullptr && m_bufferMode == kModePlain) m_buffer->append(text);
}

int CLayerCheck::WriteEscaped(const char* text) {
  if (!m_writingError) m_errorOpen = false;
  if (m_windowMode == kModeOff && m_bufferMode == kModeOff) return 0;
  if (text == nullptr) text = "";
  std::string escaped;
  if (m_windowMode == kModeMarkup || m_bufferMode == kModeMarkup) escaped = EscapeMarkup(text);
  if (m_window != nullptr) {
    if (m_windowMode == kModePlain) m_pending += text;
    else if (m_windowMode == kModeMarkup) m_pending += escaped;
  }
  if (m_buffer != nullptr) {
    if (m_bufferMode == kModePlain) m_buffer->append(text);
    else if (m_bufferMode == kModeMarkup) m_buffer->append(escaped);
  }
  return 1;
}

void CLayerCheck::WriteColourHead(const char* head, const char* colour) {
  char tag[kColourHeadSize] = {};
  std::strncat(tag, head, sizeof(tag) - 1);
  std::strncat(tag, colour, sizeof(tag) - 1 - std::strlen(tag));
  std::strncat(tag, ">", sizeof(tag) - 1 - std::strlen(tag));
  Write(tag);
}

int CLayerCheck::WriteError(const char* text) {
  NoteErrorCall(MarkupToText(std::string(text != nullptr ? text : "")));
  m_writingError = true;
  WriteColourHead("<b><font color=", kColourError);
  WritePlain("######");
  Write(text);
  const int result = Write("</font></b>");
  m_writingError = false;
  return result;
}

void CLayerCheck::WriteOk(const char* text) {
  WriteColourHead("<b><font color=", kColourOk);
  Write(text);
  Write("</font></b>");
}

int CLayerCheck::WriteInfo(const char* text) {
  WriteColourHead("<i><font color=", kColourInfo);
  Write(text);
  return Write("</font></i>");
}

int CLayerCheck::WriteExternal(const char* text) { return WriteEscaped(text); }

int CLayerCheck::WriteInfoExternal(const char* text) {
  WriteColourHead("<i><font color=", kColourInfo);
  WriteEscaped(text);
  return Write("</font></i>");
}

int CLayerCheck::WriteErrorExternal(const char* text) {
  NoteErrorCall(text != nullptr ? text : "");
  m_writingError = true;
  WriteColourHead("<b><font color=", kColourError);
  WritePlain("######");
  WriteEscaped(text);
  const int result = Write("</font></b>");
  m_writingError = false;
  return result;
}

void CLayerCheck::WriteTimestamp() {
  char stamp[kTimestampSize] = {};
  std::tm now = {};
  IClock* clock = GetPlatform().clock;
  if (clock != nullptr && clock->LocalTime(now)) {
    // strftime in the C locale: the program never changes the locale.
    if (std::strftime(stamp, sizeof(stamp), "%A, %B %d, %Y, %H:%M:%S,  ", &now) == 0) stamp[0] = '\0';
  }
  Write(stamp);
}

void CLayerCheck::WriteVerdict(const char* title) {
  std::string banner = "_______________________________<br>\r\n";
  banner += title;
  if (m_error != 0) {
    banner += " Layer Check FAILED!!!. <br>\r\n<hr><br>\r\n";
    WriteError(banner.c_str());
  } else {
    banner += " Layer Checked, result OK. <br>\r\n<hr><br>\r\n";
    WriteOk(banner.c_str());
  }
}

// ---- The calls behind the error lines (the trace's side of the findings) ----

void CLayerCheck::NoteErrorCall(const std::string& text) {
  const uint32_t next = CCallTrace::NextSequence();
  const uint32_t failure = CCallTrace::LastFailure();
  uint32_t call = 0;
  if (failure != 0 && failure >= m_callsSeen) {
    // The latest call that failed since the previous error line.
    call = failure;
  } else if (m_errorOpen && next == m_callsSeen) {
    // Straight after the previous error line, nothing written or called since:
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

void CLayerCheck::EndErrorReport() { m_callsSeen = CCallTrace::NextSequence(); }
