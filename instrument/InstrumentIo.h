#pragma once
// Talking to one instrument by hand: a VISA session on any resource text, the
// command written with the line end chosen, the answer read up to the line end
// or to the end of its message, device clear, the status byte and the error
// queue. Each call's status and duration are kept; one transcript of an action
// serves the I/O panel, the report and the command line alike.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "instrument/VisaFunctions.h"
#include "report/LayerCheck.h"

enum class CIoLineEnd : int32_t { Lf, Cr, CrLf, None };
enum class CIoReadEnd : int32_t { LineEnd, EndOfMessage };
enum class CIoAction : int32_t { Write, Read, Query, DeviceClear, ReadStatusByte, ErrorQueue };

constexpr uint32_t kIoTimeoutMin = 1;
// Longer calls cannot be cut short: the instrument thread would be lost to them.
constexpr uint32_t kIoTimeoutMax = 600000;
constexpr uint32_t kIoTimeoutDefault = 2000;
constexpr size_t kIoCommandMax = 1024;
// SYST:ERR? is asked at most this often per Error Queue: more than an
// instrument's queue holds, so only one that never says "no error" reaches it.
constexpr int32_t kIoErrorQueueBound = 32;
// One Read takes at most this much; the rest waits for the next one.
constexpr size_t kIoAnswerMax = 65536;

struct CIoSettings {
  std::string resource;
  uint32_t timeoutMs = kIoTimeoutDefault;
  CIoLineEnd lineEnd = CIoLineEnd::Lf;
  CIoReadEnd readEnd = CIoReadEnd::LineEnd;
};

// One VISA call of an action (the reads of one answer count as one).
struct CIoCall {
  std::string name;  // "viWrite", "viRead", ...; an attribute call names its attribute
  ViStatus status = kViSuccess;
  int32_t milliseconds = 0;
  std::string bytes;  // written or read
  uint16_t statusByte = 0;
};

struct CIoRecord {
  CIoAction action = CIoAction::Query;
  std::string resource;
  std::string command;  // the bytes written, line end included
  std::vector<CIoCall> calls;
  bool opened = true;
  bool timedOut = false;
  // A read that may have got the late answer to this earlier command.
  std::string lateCommand;
  int32_t errorQueries = 0;
  bool queueEmpty = false;

  // The status that ends the action: the first failing call's, else the last call's.
  ViStatus Status() const;
  // VISA refused the resource text itself (a name it cannot parse or find).
  bool ResourceRefused() const;
};

enum class CIoLineKind { Heading, Answer, Call, Note, Failure };

struct CIoLine {
  CIoLineKind kind = CIoLineKind::Note;
  std::string label;
  std::string value;  // outside bytes, shown visibly; empty for most lines
};

// The bytes a line end choice adds on write.
const char* IoLineEndBytes(CIoLineEnd lineEnd);
// Bytes with their control characters visible: \r, \n, \t, \\ and \xNN for
// any byte that is not printable ASCII.
std::string VisibleBytes(const std::string& bytes);
// How many bytes are neither printable ASCII nor CR, LF or tab.
size_t NonTextBytes(const std::string& bytes);
// What the user is told of that many such bytes in an answer.
std::string NonTextNote(size_t count);
// "0xBFFF0015 VI_ERROR_TMO", with "unknown status" for a code VISA does not name.
std::string VisaStatusText(ViStatus status);
// The status byte with the names of its bits: "20 (0x14: EAV MAV)".
std::string StatusByteText(uint16_t statusByte);
// What the user typed, as bytes: \n, \r, \t, \\ and \xNN stand for bytes.
// False, with the reason, for an empty, overlong or badly escaped command.
bool ParseIoCommand(const std::string& text, std::string& bytes, std::string& problem);
// A time-out in whole milliseconds from kIoTimeoutMin to kIoTimeoutMax.
bool ParseIoTimeout(const std::string& text, uint32_t& milliseconds, std::string& problem);

// Everything an action did, in lines: a heading, then each call and what it
// gave, then what the user should know (a time-out, a possibly late answer).
std::vector<CIoLine> IoTranscript(const CIoRecord& record);
// The transcript as plain text lines, calls indented.
std::string IoTranscriptText(const CIoRecord& record);

// The resource and address texts kept anywhere in a check's findings: the
// GPIB scan's resources, the mainframes the driver listed. New ones are added
// to names in the order found.
void CollectResourceNames(const CFindings::Tree& findings, std::vector<std::string>& names);

class CInstrumentIo {
 public:
  CInstrumentIo() = default;
  ~CInstrumentIo();
  CInstrumentIo(const CInstrumentIo&) = delete;
  CInstrumentIo& operator=(const CInstrumentIo&) = delete;

  // Told before each call what it is about to do ("reading GPIB0::20::INSTR").
  void OnCall(std::function<void(const std::string&)> observer) { m_observer = std::move(observer); }

  // VISA loaded with every function the actions call; else why not.
  bool Load(std::string& problem);
  // The resources VISA knows of; empty when it finds none.
  std::vector<std::string> FindResources();
  // One action on the resource of the settings; command holds the bytes to
  // write without the line end (Write and Query only). The session on a
  // resource is opened at its first action and kept.
  CIoRecord Run(CIoAction action, const CIoSettings& settings, const std::string& command);
  // Closes every session opened, then the resource manager.
  void CloseAll();
  size_t OpenSessions() const { return m_sessions.size(); }

 private:
  struct CSession {
    ViSession handle = 0;
    uint32_t timeoutMs = 0;
    int32_t termChar = -1;
    int32_t termCharEnabled = -1;
    std::string lastWritten;
    std::string lateFor;  // a written command whose answer did not come in time
  };

  void Calling(const std::string& what);
  bool OpenSession(const std::string& resource, CIoRecord& record, CSession*& session);
  bool Apply(CSession& session, ViAttr attribute, const char* name, uint32_t value, int32_t& applied,
             CIoRecord& record);
  bool Configure(CSession& session, const CIoSettings& settings, CIoRecord& record);
  bool Write(CSession& session, const std::string& bytes, CIoRecord& record);
  bool Read(CSession& session, CIoRecord& record);
  void ErrorQueue(CSession& session, const CIoSettings& settings, CIoRecord& record);

  ViTable m_visa;
  bool m_loaded = false;
  ViSession m_manager = 0;
  std::map<std::string, CSession> m_sessions;
  std::function<void(const std::string&)> m_observer;
};

// The report's part of the panel: a banner for each resource talked to, then
// every action's transcript, outside text escaped.
class CInstrumentIoReport : public CLayerCheck {
 public:
  CInstrumentIoReport();
  // The panel writes when it acts, not when it opens.
  int Start() override { return 0; }
  void WriteAction(const CIoRecord& record);

 private:
  std::string m_bannerResource;
  bool m_bannerWritten = false;
};
