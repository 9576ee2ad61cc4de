#include "instrument/InstrumentIo.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "instrument/GpibLayerCheck.h"
#include "platform/Platform.h"
#include "platform/StatusNames.h"

namespace {

constexpr size_t kReadChunk = 4096;
constexpr size_t kDescriptionSize = 256;
const char kErrorQuery[] = "SYST:ERR?";

// The bits of an IEEE 488.2 status byte, with SCPI's error-queue bit.
const char* const kStatusBits[] = {"bit 0", "bit 1", "EAV", "QUES", "MAV", "ESB", "RQS", "OPER"};

const char* const kActionNames[] = {"Write", "Read", "Query", "Device Clear", "Read Status Byte",
                                    "Error Queue"};

bool Failed(ViStatus status) { return status < 0; }

int32_t Now() {
  IClock* clock = GetPlatform().clock;
  const int32_t now = clock != nullptr ? clock->Clock() : 0;
  return now < 0 ? 0 : now;
}

std::string Hex(uint32_t value, int digits) {
  char text[16] = {};
  std::snprintf(text, sizeof(text), "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}

// The error number that opens an answer to SYST:ERR?; false when it opens with none.
bool ErrorNumber(const std::string& answer, long& number) {
  size_t at = answer.find_first_not_of(" \t");
  if (at == std::string::npos) return false;
  const bool negative = answer[at] == '-';
  if (answer[at] == '+' || negative) ++at;
  if (at >= answer.size() || answer[at] < '0' || answer[at] > '9') return false;
  number = 0;
  for (; at < answer.size() && answer[at] >= '0' && answer[at] <= '9' && number < 100000; ++at) {
    number = number * 10 + (answer[at] - '0');
  }
  if (negative) number = -number;
  return true;
}

std::string CallLine(const CIoCall& call, bool withLength) {
  std::string line = call.name;
  if (withLength) line += " " + std::to_string(call.bytes.size()) + " bytes";
  return line + ": " + VisaStatusText(call.status) + ", " + std::to_string(call.milliseconds) + " ms";
}

void CollectFrom(const CFindings::Tree& node, std::vector<std::string>& names) {
  if (node.is_array()) {
    for (const auto& item : node) CollectFrom(item, names);
    return;
  }
  if (!node.is_object()) return;
  for (auto it = node.begin(); it != node.end(); ++it) {
    const bool name = it.key() == "resource" || it.key() == "address";
    if (name && it.value().is_string()) {
      // Only what reads as a VISA resource: an address of another kind is no instrument.
      const std::string text = it.value().get<std::string>();
      if (text.find("::") != std::string::npos && std::find(names.begin(), names.end(), text) == names.end()) {
        names.push_back(text);
      }
    } else {
      CollectFrom(it.value(), names);
    }
  }
}

}  // namespace

ViStatus CIoRecord::Status() const {
  for (const CIoCall& call : calls) {
    if (Failed(call.status)) return call.status;
  }
  return calls.empty() ? kViSuccess : calls.back().status;
}

bool CIoRecord::ResourceRefused() const {
  const ViStatus status = Status();
  return !opened && (status == kViErrorResourceNotFound || status == kViErrorInvalidResourceName);
}

const char* IoLineEndBytes(CIoLineEnd lineEnd) {
  switch (lineEnd) {
    case CIoLineEnd::Lf: return "\n";
    case CIoLineEnd::Cr: return "\r";
    case CIoLineEnd::CrLf: return "\r\n";
    case CIoLineEnd::None: return "";
  }
  return "";
}

std::string VisibleBytes(const std::string& bytes) {
  std::string visible;
  visible.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\r': visible += "\\r"; break;
      case '\n': visible += "\\n"; break;
      case '\t': visible += "\\t"; break;
      case '\\': visible += "\\\\"; break;
      default:
        if (byte >= 0x20 && byte < 0x7F) {
          visible += c;
        } else {
          visible += "\\x" + Hex(byte, 2).substr(2);
        }
    }
  }
  return visible;
}

size_t NonTextBytes(const std::string& bytes) {
  return static_cast<size_t>(std::count_if(bytes.begin(), bytes.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return !(byte >= 0x20 && byte < 0x7F) && c != '\r' && c != '\n' && c != '\t';
  }));
}

std::string NonTextNote(size_t count) {
  return std::to_string(count) + (count == 1 ? " byte of the answer is not text; it is" : " bytes of the answer are not text; they are") +
         " shown as \\xNN.";
}

std::string VisaStatusText(ViStatus status) {
  const char* name = StandardStatusName(status);
  return Hex(static_cast<uint32_t>(status), 8) + " " + (name != nullptr ? name : "unknown status");
}

std::string StatusByteText(uint16_t statusByte) {
  std::string text = std::to_string(statusByte) + " (" + Hex(statusByte & 0xFF, 2);
  std::string bits;
  for (int bit = 0; bit < 8; ++bit) {
    if ((statusByte & (1u << bit)) != 0) bits += std::string(bits.empty() ? "" : " ") + kStatusBits[bit];
  }
  return text + (bits.empty() ? "" : ": " + bits) + ")";
}

bool ParseIoCommand(const std::string& text, std::string& bytes, std::string& problem) {
  bytes.clear();
  if (text.size() > kIoCommandMax) {
    problem = "The command is longer than " + std::to_string(kIoCommandMax) + " characters.";
    return false;
  }
  auto hexDigit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const char* simple = next == 'n' ? "\n" : next == 'r' ? "\r" : next == 't' ? "\t" : next == '\\' ? "\\" : nullptr;
    if (simple != nullptr) {
      bytes += simple;
      ++i;
    } else if (next == 'x' && i + 3 < text.size() && hexDigit(text[i + 2]) >= 0 && hexDigit(text[i + 3]) >= 0) {
      bytes += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
      i += 3;
    } else {
      problem = "The command has a backslash at position " + std::to_string(i + 1) +
                " that is none of \\n, \\r, \\t, \\\\ or \\x with two hexadecimal digits.";
      return false;
    }
  }
  if (bytes.find_first_not_of(" \t") == std::string::npos) {
    problem = "Type a command to send, such as *IDN?";
    return false;
  }
  return true;
}

bool ParseIoTimeout(const std::string& text, uint32_t& milliseconds, std::string& problem) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  uint64_t value = 0;
  bool digits = first != std::string::npos;
  for (size_t i = first; digits && i <= last; ++i) {
    digits = text[i] >= '0' && text[i] <= '9';
    if (digits && value <= kIoTimeoutMax) value = value * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  if (!digits || value < kIoTimeoutMin || value > kIoTimeoutMax) {
    problem = "The time-out must be a whole number of milliseconds from " + std::to_string(kIoTimeoutMin) +
              " to " + std::to_string(kIoTimeoutMax) + ".";
    return false;
  }
  milliseconds = static_cast<uint32_t>(value);
  return true;
}

std::vector<CIoLine> IoTranscript(const CIoRecord& record) {
  std::vector<CIoLine> lines;
  const char* action = kActionNames[static_cast<int>(record.action)];
  const bool writes = record.action == CIoAction::Write || record.action == CIoAction::Query;
  lines.push_back({CIoLineKind::Heading, std::string(action) + (writes ? ": " : ""),
                   writes ? VisibleBytes(record.command) : std::string()});
  for (const CIoCall& call : record.calls) {
    const bool read = call.name == "viRead";
    if (read && !call.bytes.empty()) lines.push_back({CIoLineKind::Answer, "answer: ", VisibleBytes(call.bytes)});
    if (call.name == "viReadSTB" && !Failed(call.status)) {
      lines.push_back({CIoLineKind::Answer, "status byte: ", StatusByteText(call.statusByte)});
    }
    // The error queue's own writes and reads show only when they fail.
    if (record.action == CIoAction::ErrorQueue && !Failed(call.status)) continue;
    const bool withLength = read || call.name == "viWrite";
    // A time-out has a line of its own below.
    const bool failure = Failed(call.status) && call.status != kViErrorTimeout;
    lines.push_back({failure ? CIoLineKind::Failure : CIoLineKind::Call, CallLine(call, withLength), ""});
  }
  if (!record.opened) return lines;
  if (record.action == CIoAction::ErrorQueue && !record.timedOut) {
    if (record.queueEmpty) {
      lines.push_back({CIoLineKind::Note, "The error queue is empty after " + std::to_string(record.errorQueries) +
                                              (record.errorQueries == 1 ? " query." : " queries."), ""});
    } else if (record.errorQueries >= kIoErrorQueueBound) {
      lines.push_back({CIoLineKind::Failure, "Still errors after " + std::to_string(kIoErrorQueueBound) +
                                                 " queries, the most one Error Queue asks: press it again for more.", ""});
    }
  }
  std::string answer;
  for (const CIoCall& call : record.calls) {
    if (call.name == "viRead") answer += call.bytes;
  }
  if (const size_t odd = NonTextBytes(answer); odd > 0) {
    lines.push_back({CIoLineKind::Note, NonTextNote(odd), ""});
  }
  if (!record.lateCommand.empty()) {
    lines.push_back({CIoLineKind::Note, "This may be the late answer to ", VisibleBytes(record.lateCommand)});
  }
  if (record.Status() == kViSuccessMaxCount) {
    lines.push_back({CIoLineKind::Note, "More of the answer waits: the next Read gets it.", ""});
  }
  if (record.timedOut) {
    lines.push_back({CIoLineKind::Failure, "No answer within the time-out: a late answer may come with the next read.", ""});
    lines.push_back({CIoLineKind::Note, "Device Clear empties the instrument's output.", ""});
  }
  return lines;
}

std::string IoTranscriptText(const CIoRecord& record) {
  std::string text;
  for (const CIoLine& line : IoTranscript(record)) {
    text += (line.kind == CIoLineKind::Heading ? "" : "  ") + line.label + line.value + "\r\n";
  }
  return text;
}

void CollectResourceNames(const CFindings::Tree& findings, std::vector<std::string>& names) {
  CollectFrom(findings, names);
}

CInstrumentIo::~CInstrumentIo() { CloseAll(); }

void CInstrumentIo::Calling(const std::string& what) {
  if (m_observer) m_observer(what);
}

bool CInstrumentIo::Load(std::string& problem) {
  if (m_loaded) return true;
  ILibraries* libraries = GetPlatform().libraries;
  if (libraries == nullptr || m_visa.Load(*libraries, kVisaLibrary) == nullptr) {
    problem = std::string(kVisaLibrary) + " cannot be loaded.";
    return false;
  }
  const struct {
    const char* name;
    bool present;
  } needed[] = {{"viOpenDefaultRM", m_visa.viOpenDefaultRM != nullptr}, {"viOpen", m_visa.viOpen != nullptr},
                {"viClose", m_visa.viClose != nullptr},           {"viSetAttribute", m_visa.viSetAttribute != nullptr},
                {"viWrite", m_visa.viWrite != nullptr},           {"viRead", m_visa.viRead != nullptr},
                {"viClear", m_visa.viClear != nullptr},           {"viReadSTB", m_visa.viReadSTB != nullptr}};
  for (const auto& function : needed) {
    if (!function.present) {
      problem = std::string(function.name) + " not found in " + kVisaLibrary + ".";
      return false;
    }
  }
  m_loaded = true;
  return true;
}

std::vector<std::string> CInstrumentIo::FindResources() {
  std::vector<std::string> found;
  std::string problem;
  if (!Load(problem) || m_visa.viFindRsrc == nullptr || m_visa.viFindNext == nullptr) return found;
  if (m_manager == 0) {
    Calling("opening the VISA resource manager");
    if (Failed(m_visa.viOpenDefaultRM(&m_manager))) {
      m_manager = 0;
      return found;
    }
  }
  Calling("asking VISA for its instruments");
  ViFindList list = 0;
  ViUInt32 count = 0;
  char description[kDescriptionSize] = {};
  for (ViStatus status = m_visa.viFindRsrc(m_manager, "?*INSTR", &list, &count, description);
       status == kViSuccess && found.size() < count; status = m_visa.viFindNext(list, description)) {
    description[kDescriptionSize - 1] = '\0';
    found.emplace_back(description);
  }
  if (list != 0) m_visa.viClose(list);
  return found;
}

bool CInstrumentIo::OpenSession(const std::string& resource, CIoRecord& record, CSession*& session) {
  auto known = m_sessions.find(resource);
  if (known != m_sessions.end()) {
    session = &known->second;
    return true;
  }
  CIoCall call;
  call.name = "viOpen";
  const int32_t start = Now();
  if (m_manager == 0) {
    Calling("opening the VISA resource manager");
    call.status = m_visa.viOpenDefaultRM(&m_manager);
    if (Failed(call.status)) m_manager = 0;
  }
  ViSession handle = 0;
  if (m_manager != 0) {
    Calling("opening " + resource);
    call.status = m_visa.viOpen(m_manager, resource.c_str(), 0, 0, &handle);
  }
  call.milliseconds = Now() - start;
  if (Failed(call.status) || handle == 0) {
    record.opened = false;
    record.calls.push_back(call);
    return false;
  }
  session = &m_sessions[resource];
  session->handle = handle;
  return true;
}

bool CInstrumentIo::Apply(CSession& session, ViAttr attribute, const char* name, uint32_t value, int32_t& applied,
                          CIoRecord& record) {
  if (applied == static_cast<int32_t>(value)) return true;
  const ViStatus status = m_visa.viSetAttribute(session.handle, attribute, value);
  if (Failed(status)) {
    CIoCall call;
    call.name = std::string("viSetAttribute ") + name + " " + std::to_string(value);
    call.status = status;
    record.calls.push_back(call);
    return false;
  }
  applied = static_cast<int32_t>(value);
  return true;
}

bool CInstrumentIo::Configure(CSession& session, const CIoSettings& settings, CIoRecord& record) {
  const std::string lineEnd = IoLineEndBytes(settings.lineEnd);
  const uint32_t termChar = lineEnd.empty() ? '\n' : static_cast<unsigned char>(lineEnd.back());
  int32_t timeout = static_cast<int32_t>(session.timeoutMs);
  const bool ok = Apply(session, kViAttrTimeoutValue, "VI_ATTR_TMO_VALUE", settings.timeoutMs, timeout, record) &&
                  Apply(session, kViAttrTermChar, "VI_ATTR_TERMCHAR", termChar, session.termChar, record) &&
                  Apply(session, kViAttrTermCharEnabled, "VI_ATTR_TERMCHAR_EN",
                        settings.readEnd == CIoReadEnd::LineEnd ? 1u : 0u, session.termCharEnabled, record);
  session.timeoutMs = static_cast<uint32_t>(timeout);
  return ok;
}

bool CInstrumentIo::Write(CSession& session, const std::string& bytes, CIoRecord& record) {
  CIoCall call;
  call.name = "viWrite";
  call.bytes = bytes;
  Calling("writing to " + record.resource);
  const int32_t start = Now();
  ViUInt32 written = 0;
  call.status = m_visa.viWrite(session.handle, reinterpret_cast<const ViByte*>(bytes.data()),
                               static_cast<ViUInt32>(bytes.size()), &written);
  call.milliseconds = Now() - start;
  if (!Failed(call.status)) call.bytes.resize(std::min<size_t>(written, bytes.size()));
  record.calls.push_back(call);
  if (Failed(call.status)) return false;
  session.lastWritten = bytes;
  return true;
}

bool CInstrumentIo::Read(CSession& session, CIoRecord& record) {
  CIoCall call;
  call.name = "viRead";
  Calling("reading from " + record.resource + " (time-out " + std::to_string(session.timeoutMs) + " ms)");
  const int32_t start = Now();
  std::vector<ViByte> chunk(kReadChunk);
  do {
    ViUInt32 count = 0;
    const size_t room = std::min(kReadChunk, kIoAnswerMax - call.bytes.size());
    call.status = m_visa.viRead(session.handle, chunk.data(), static_cast<ViUInt32>(room), &count);
    call.bytes.append(reinterpret_cast<const char*>(chunk.data()), std::min<size_t>(count, room));
  } while (call.status == kViSuccessMaxCount && call.bytes.size() < kIoAnswerMax);
  call.milliseconds = Now() - start;
  record.calls.push_back(call);
  if (call.status == kViErrorTimeout) {
    record.timedOut = true;
    if (!session.lastWritten.empty()) session.lateFor = session.lastWritten;
  } else if (!call.bytes.empty() && !session.lateFor.empty()) {
    // Said once, by the first answer after the time-out.
    record.lateCommand = session.lateFor;
    session.lateFor.clear();
  }
  return !Failed(call.status);
}

void CInstrumentIo::ErrorQueue(CSession& session, const CIoSettings& settings, CIoRecord& record) {
  const std::string query = kErrorQuery + std::string(IoLineEndBytes(settings.lineEnd));
  record.command = query;
  while (record.errorQueries < kIoErrorQueueBound) {
    ++record.errorQueries;
    if (!Write(session, query, record) || !Read(session, record)) return;
    long number = 0;
    if (ErrorNumber(record.calls.back().bytes, number) && number == 0) {
      record.queueEmpty = true;
      return;
    }
  }
}

CIoRecord CInstrumentIo::Run(CIoAction action, const CIoSettings& settings, const std::string& command) {
  CIoRecord record;
  record.action = action;
  record.resource = settings.resource;
  if (action == CIoAction::Write || action == CIoAction::Query) {
    record.command = command + IoLineEndBytes(settings.lineEnd);
  }
  CSession* session = nullptr;
  std::string problem;
  if (!Load(problem) || !OpenSession(settings.resource, record, session)) return record;
  if (!Configure(*session, settings, record)) return record;
  switch (action) {
    case CIoAction::Write:
      Write(*session, record.command, record);
      break;
    case CIoAction::Read:
      Read(*session, record);
      break;
    case CIoAction::Query:
      if (Write(*session, record.command, record)) Read(*session, record);
      break;
    case CIoAction::DeviceClear: {
      CIoCall call;
      call.name = "viClear";
      Calling("clearing " + settings.resource);
      const int32_t start = Now();
      call.status = m_visa.viClear(session->handle);
      call.milliseconds = Now() - start;
      if (!Failed(call.status)) session->lateFor.clear();
      record.calls.push_back(call);
      break;
    }
    case CIoAction::ReadStatusByte: {
      CIoCall call;
      call.name = "viReadSTB";
      Calling("reading the status byte of " + settings.resource);
      const int32_t start = Now();
      ViUInt16 statusByte = 0;
      call.status = m_visa.viReadSTB(session->handle, &statusByte);
      call.milliseconds = Now() - start;
      call.statusByte = statusByte;
      record.calls.push_back(call);
      break;
    }
    case CIoAction::ErrorQueue:
      ErrorQueue(*session, settings, record);
      break;
  }
  return record;
}

void CInstrumentIo::CloseAll() {
  if (!m_loaded) return;
  for (auto& [resource, session] : m_sessions) {
    Calling("closing " + resource);
    m_visa.viClose(session.handle);
  }
  m_sessions.clear();
  if (m_manager != 0) {
    Calling("closing the VISA resource manager");
    m_visa.viClose(m_manager);
    m_manager = 0;
  }
}

CInstrumentIoReport::CInstrumentIoReport() { SetName("Instrument I/O "); }

void CInstrumentIoReport::WriteAction(const CIoRecord& record) {
  if (!m_bannerWritten || record.resource != m_bannerResource) {
    Write("**********************************************<br>\r\n<b>Instrument I/O ");
    WriteExternal(record.resource.c_str());
    Write(", </b>");
    WriteTimestamp();
    Write(" <br>\r\n**********************************************<br>\r\n");
    m_bannerResource = record.resource;
    m_bannerWritten = true;
  }
  for (const CIoLine& line : IoTranscript(record)) {
    if (line.kind != CIoLineKind::Heading) Write("  ");
    if (line.kind == CIoLineKind::Failure) {
      WriteErrorExternal((line.label + line.value + "\r\n").c_str());
      Write("<br>");
      continue;
    }
    WriteExternal(line.label.c_str());
    if (!line.value.empty()) WriteInfoExternal(line.value.c_str());
    Write("<br>\r\n");
  }
  Flush();
}
