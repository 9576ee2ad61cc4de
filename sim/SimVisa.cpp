// visa32.dll: the VISA library of the simulated bench, the part of the VISA
// standard that the diagnosis uses.
//
// As a real library does, "%t" gives the answer whole, whatever the caller's
// buffer; "%#t" gives at most the count's size less the terminator, and the
// rest stays to be read by viScanf until the next command is written. The
// answer is given without the instrument's line end.
#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <string>

#include "sim/SimAddress.h"
#include "sim/SimHost.h"
#include "sim/SimFunctions.h"
#include "sim/SimState.h"
#include "sim/SimStatus.h"
#include "sim/SimVersions.h"
#include "sim/SimVisaPattern.h"

namespace sim {
namespace {

std::string Command(const std::string& written) {
  size_t end = written.size();
  while (end > 0 && std::isspace(static_cast<unsigned char>(written[end - 1]))) {
    --end;
  }
  size_t begin = 0;
  while (begin < end && std::isspace(static_cast<unsigned char>(written[begin]))) {
    ++begin;
  }
  std::string command;
  for (size_t i = begin; i < end; ++i) {
    command += static_cast<char>(std::toupper(static_cast<unsigned char>(written[i])));
  }
  return command;
}

bool IsSystemErrorQuery(const std::string& command) {
  return command == "SYST:ERR?" || command == "SYSTEM:ERROR?" || command == "SYST:ERR:NEXT?";
}

// The instrument's status byte: bit 2 an error waits in the queue, bit 4 an
// answer waits to be read (MAV).
uint16_t StatusByte(size_t resource) {
  CSimBenchState& state = SimState();
  uint16_t statusByte = 0;
  if (!state.ErrorQueue(resource).empty()) statusByte |= 0x04;
  if (!state.ResourceIo(resource).output.empty()) statusByte |= 0x10;
  return statusByte;
}

// One command written byte by byte and ended by the instrument's line end.
// Its answer, with the line end, goes to the output, or is on its way there
// when the instrument is slow.
void Execute(size_t resource, const std::string& command) {
  CSimBenchState& state = SimState();
  const SimVisaResource& instrument = state.Resources()[resource];
  const SimVisaBehaviour& behaviour = *instrument.behaviour;
  std::string answer;
  bool answers = true;
  if (command == "*IDN?") {
    answers = !behaviour.idnTimeout;
    answer = *instrument.identification;
  } else if (IsSystemErrorQuery(command)) {
    answers = !behaviour.systemErrorTimeout;
    std::deque<SimQueueEntry>& queue = state.ErrorQueue(resource);
    if (answers && !queue.empty()) {
      answer = std::to_string(queue.front().code) + ",\"" + queue.front().message + "\"";
      queue.pop_front();
    } else {
      answer = behaviour.systemError;
    }
  } else if (command == "*CLS") {
    state.ErrorQueue(resource).clear();
    answers = false;
  } else if (command == "*RST") {
    answers = false;
  } else if (command == "*STB?") {
    answer = std::to_string(StatusByte(resource));
  } else if (command == "*OPC?") {
    answer = "1";
  } else {
    auto fixed = std::find_if(behaviour.answers.begin(), behaviour.answers.end(),
                              [&](const std::pair<std::string, std::string>& entry) { return entry.first == command; });
    if (fixed == behaviour.answers.end()) {
      state.QueueVisaError(resource, {-113, "Undefined header"});
      return;
    }
    answer = fixed->second;
    answers = !answer.empty();
  }
  if (!answers || behaviour.silent) return;
  SimResourceIo& io = state.ResourceIo(resource);
  (behaviour.answerDelayMilliseconds > 0 ? io.coming : io.output).push_back(answer + behaviour.lineEnd);
}

// The instrument session behind a handle, or the status that refuses it.
ViStatus InstrumentObject(ViSession session, SimVisaObject*& object) {
  object = SimState().VisaObject(session);
  if (object == nullptr) return kViErrorInvalidObject;
  if (object->kind != SimVisaKind::kInstrument) return kViErrorNotSupportedOperation;
  return kViSuccess;
}

// The write formats the system uses: text, "%s" with a string, "%d" with an int.
bool FormatCommand(const char* format, va_list& arguments, std::string& command) {
  for (const char* p = format; *p != '\0'; ++p) {
    if (*p != '%') {
      command += *p;
      continue;
    }
    ++p;
    if (*p == '%') {
      command += '%';
    } else if (*p == 's') {
      const char* text = va_arg(arguments, const char*);
      if (text == nullptr) {
        return false;
      }
      command += text;
    } else if (*p == 'd') {
      command += std::to_string(va_arg(arguments, int));
    } else {
      return false;
    }
  }
  return true;
}

// One read conversion: "%t" (the whole answer), "%#t" (as much of it as the
// count allows) or "%s" (its first word).
struct CReadTarget {
  char* target = nullptr;
  ViInt32* count = nullptr;  // "%#t": in, the buffer's size; out, the characters stored
  bool word = false;
};

bool ReadTarget(const char* format, va_list& arguments, CReadTarget& read) {
  const std::string conversion(format);
  if (conversion != "%t" && conversion != "%T" && conversion != "%s" && conversion != "%#t") {
    return false;
  }
  read.word = conversion == "%s";
  if (conversion == "%#t") {
    read.count = va_arg(arguments, ViInt32*);
    if (read.count == nullptr || *read.count < 1) return false;
  }
  read.target = va_arg(arguments, char*);
  if (read.target == nullptr) return false;
  // Whatever happens next, the reader gets a terminated text.
  read.target[0] = '\0';
  return true;
}

// A variadic call's arguments, ended however the call ends, also when it throws.
struct CArguments {
  va_list list;
  ~CArguments() { va_end(list); }
};

// Hands the answer to the reader; what a count leaves out stays unread.
void Deliver(SimVisaObject& object, std::string answer, const CReadTarget& read) {
  object.unread.clear();
  if (read.word) answer = answer.substr(0, answer.find_first_of(" \t\r\n"));
  if (read.count == nullptr) {
    CopyText(read.target, answer.size() + 1, answer);
    return;
  }
  const size_t stored = std::min(answer.size(), static_cast<size_t>(*read.count) - 1);
  CopyText(read.target, stored + 1, answer);
  *read.count = static_cast<ViInt32>(stored);
  object.unread = answer.substr(stored);
}

ViStatus Query(ViSession session, const std::string& command, std::string& answer) {
  CSimBenchState& state = SimState();
  SimVisaObject* object = state.VisaObject(session);
  if (object == nullptr) {
    return kViErrorInvalidObject;
  }
  if (object->kind != SimVisaKind::kInstrument) {
    return kViErrorNotSupportedOperation;
  }
  const SimVisaResource& resource = state.Resources()[object->resource];
  const bool systemError = IsSystemErrorQuery(command);
  bool answers = false;
  if (command == "*IDN?" && !resource.behaviour->idnTimeout) {
    answer = *resource.identification;
    answers = true;
  } else if (systemError && !resource.behaviour->systemErrorTimeout) {
    answer = resource.behaviour->systemError;
    answers = true;
  }
  if (!answers) {
    // A command without an answer, or an instrument that keeps silent.
    SimDelay(state.Bench().visaTimeoutDelayMilliseconds);
    return kViErrorTimeout;
  }
  return kViSuccess;
}

}  // namespace
}  // namespace sim

using namespace sim;

BS_SIM_BEGIN_EXPORTS

ViStatus BS_STDCALL viOpenDefaultRM(ViSession* resourceManager) try {
  if (resourceManager == nullptr) {
    return kViErrorUserBuffer;
  }
  *resourceManager = 0;
  CSimBenchState& state = SimState();
  if (!state.Usable()) {
    return kViErrorSystem;
  }
  *resourceManager = state.AddVisaObject(SimVisaObject());
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

ViStatus BS_STDCALL viFindRsrc(ViSession resourceManager, const char* expression, ViFindList* findList,
                               ViUInt32* count, char* description) try {
  if (findList != nullptr) *findList = 0;
  if (count != nullptr) *count = 0;
  if (description != nullptr) description[0] = '\0';
  CSimBenchState& state = SimState();
  const SimVisaObject* manager = state.VisaObject(resourceManager);
  if (manager == nullptr || manager->kind != SimVisaKind::kResourceManager) {
    return kViErrorInvalidObject;
  }
  if (expression == nullptr) {
    return kViErrorInvalidExpression;
  }
  SimVisaObject list;
  list.kind = SimVisaKind::kFindList;
  list.resourceManager = resourceManager;
  for (const SimVisaResource& resource : state.Resources()) {
    PatternResult result = MatchVisaPattern(expression, resource.key);
    if (result == PatternResult::kInvalid) {
      return kViErrorInvalidExpression;
    }
    if (result == PatternResult::kMatch) {
      list.found.push_back(resource.key);
    }
  }
  if (list.found.empty()) {
    return kViErrorResourceNotFound;
  }
  if (count != nullptr) *count = static_cast<ViUInt32>(list.found.size());
  CopyText(description, kVisaDescriptionCapacity, list.found[0]);
  list.next = 1;
  if (findList != nullptr) {
    *findList = state.AddVisaObject(list);
  }
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

ViStatus BS_STDCALL viFindNext(ViFindList findList, char* description) try {
  SimVisaObject* list = SimState().VisaObject(findList);
  if (list == nullptr || list->kind != SimVisaKind::kFindList) {
    return kViErrorInvalidObject;
  }
  if (description == nullptr) {
    return kViErrorUserBuffer;
  }
  description[0] = '\0';
  if (list->next >= list->found.size()) {
    return kViErrorResourceNotFound;
  }
  CopyText(description, kVisaDescriptionCapacity, list->found[list->next++]);
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

ViStatus BS_STDCALL viOpen(ViSession resourceManager, const char* description, ViUInt32 accessMode,
                           ViUInt32 openTimeout, ViSession* session) try {
  if (session == nullptr) {
    return kViErrorUserBuffer;
  }
  *session = 0;
  CSimBenchState& state = SimState();
  const SimVisaObject* manager = state.VisaObject(resourceManager);
  if (manager == nullptr || manager->kind != SimVisaKind::kResourceManager) {
    return kViErrorInvalidObject;
  }
  if (description == nullptr) {
    return kViErrorInvalidResourceName;
  }
  const std::string key = AddressKey(description);
  if (key.empty()) {
    return kViErrorInvalidResourceName;
  }
  const int resource = state.FindResource(key);
  if (resource < 0) {
    return kViErrorResourceNotFound;
  }
  if (state.Resources()[static_cast<size_t>(resource)].behaviour->openFails) {
    return kViErrorResourceBusy;
  }
  SimVisaObject instrument;
  instrument.kind = SimVisaKind::kInstrument;
  instrument.resourceManager = resourceManager;
  instrument.resource = static_cast<size_t>(resource);
  *session = state.AddVisaObject(instrument);
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

ViStatus BS_STDCALL viClose(ViObject object) try {
  if (object == 0) {
    return kViWarnNullObject;
  }
  CSimBenchState& state = SimState();
  const SimVisaObject* open = state.VisaObject(object);
  if (open == nullptr) {
    return kViErrorInvalidObject;
  }
  if (open->kind == SimVisaKind::kInstrument && state.Resources()[open->resource].behaviour->closeFails) {
    return kViErrorClosingFailed;
  }
  state.CloseVisaObject(object);
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

ViStatus BS_STDCALL viSetAttribute(ViObject object, ViAttr attribute, ViAttrState value) try {
  SimVisaObject* open = SimState().VisaObject(object);
  if (open == nullptr) {
    return kViErrorInvalidObject;
  }
  const bool instrument = open->kind == SimVisaKind::kInstrument;
  if (instrument && attribute == kViAttrTermChar) {
    if (value > 0xFF) return kViErrorNotSupportedAttributeState;
    open->termChar = value;
    return kViSuccess;
  }
  if (instrument && attribute == kViAttrTermCharEnabled) {
    if (value > 1) return kViErrorNotSupportedAttributeState;
    open->termCharEnabled = value == 1;
    return kViSuccess;
  }
  if (attribute != kViAttrTimeoutValue || open->kind == SimVisaKind::kFindList) {
    return kViErrorNotSupportedAttribute;
  }
  open->timeoutMilliseconds = value;
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

// What the library says of itself, as a real one answers on any of its sessions.
ViStatus BS_STDCALL viGetAttribute(ViObject object, ViAttr attribute, void* value) try {
  if (value == nullptr) {
    return kViErrorUserBuffer;
  }
  CSimBenchState& state = SimState();
  const SimVisaObject* open = state.VisaObject(object);
  if (open == nullptr) {
    return kViErrorInvalidObject;
  }
  const SimVisaIdentity& identity = state.Bench().visaIdentity;
  uint32_t number = 0;
  size_t size = sizeof(uint32_t);
  switch (attribute) {
    case kViAttrResourceMakerName: {
      std::string maker = identity.makerName.empty() ? OwnPublisher() : identity.makerName;
      CopyText(static_cast<char*>(value), kVisaDescriptionCapacity, maker.empty() ? kSimMaker : maker);
      return kViSuccess;
    }
    case kViAttrResourceMakerId:
      number = static_cast<uint32_t>(identity.makerId);
      size = sizeof(uint16_t);
      break;
    case kViAttrResourceImplVersion:
      number = identity.implementationVersion;
      break;
    case kViAttrResourceSpecVersion:
      number = identity.specificationVersion;
      break;
    case kViAttrTimeoutValue:
      if (open->kind == SimVisaKind::kFindList) return kViErrorNotSupportedAttribute;
      number = open->timeoutMilliseconds;
      break;
    default:
      return kViErrorNotSupportedAttribute;
  }
  const uint16_t shortNumber = static_cast<uint16_t>(number);
  std::memcpy(value, size == sizeof(uint16_t) ? static_cast<const void*>(&shortNumber) : &number, size);
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

ViStatus BS_CDECL viQueryf(ViSession session, const char* writeFormat, const char* readFormat, ...) try {
  if (writeFormat == nullptr || readFormat == nullptr) {
    return kViErrorNotSupportedFormat;
  }
  CArguments arguments;
  va_start(arguments.list, readFormat);
  std::string written;
  CReadTarget read;
  const bool formatsKnown = FormatCommand(writeFormat, arguments.list, written) &&
                            ReadTarget(readFormat, arguments.list, read);
  if (!formatsKnown) {
    return kViErrorNotSupportedFormat;
  }
  SimVisaObject* object = SimState().VisaObject(session);
  // A new command: what the last answer left unread is gone.
  if (object != nullptr) object->unread.clear();
  std::string answer;
  ViStatus status = Query(session, Command(written), answer);
  if (status != kViSuccess) {
    return status;
  }
  Deliver(*object, answer, read);
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

ViStatus BS_CDECL viScanf(ViSession session, const char* readFormat, ...) try {
  if (readFormat == nullptr) {
    return kViErrorNotSupportedFormat;
  }
  CArguments arguments;
  va_start(arguments.list, readFormat);
  CReadTarget read;
  if (!ReadTarget(readFormat, arguments.list, read)) {
    return kViErrorNotSupportedFormat;
  }
  CSimBenchState& state = SimState();
  SimVisaObject* object = state.VisaObject(session);
  if (object == nullptr) {
    return kViErrorInvalidObject;
  }
  if (object->kind != SimVisaKind::kInstrument) {
    return kViErrorNotSupportedOperation;
  }
  if (object->unread.empty()) {
    // Nothing was asked: the instrument has nothing to send.
    SimDelay(state.Bench().visaTimeoutDelayMilliseconds);
    return kViErrorTimeout;
  }
  Deliver(*object, object->unread, read);
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

// Byte by byte: the instrument takes a command when its line end has come,
// whatever the write's END indicator says.
ViStatus BS_STDCALL viWrite(ViSession session, const ViByte* buffer, ViUInt32 count, ViUInt32* written) try {
  if (written != nullptr) *written = 0;
  SimVisaObject* object = nullptr;
  if (const ViStatus refused = InstrumentObject(session, object); refused != kViSuccess) {
    return refused;
  }
  if (buffer == nullptr && count > 0) {
    return kViErrorUserBuffer;
  }
  CSimBenchState& state = SimState();
  SimResourceIo& io = state.ResourceIo(object->resource);
  const std::string& lineEnd = state.Resources()[object->resource].behaviour->lineEnd;
  io.input.append(reinterpret_cast<const char*>(buffer), count);
  if (written != nullptr) *written = count;
  for (size_t end = io.input.find(lineEnd); end != std::string::npos; end = io.input.find(lineEnd)) {
    const std::string command = Command(io.input.substr(0, end));
    io.input.erase(0, end + lineEnd.size());
    if (!command.empty()) Execute(object->resource, command);
  }
  // A command that never ends fills no more than an instrument's input buffer.
  if (io.input.size() > kVisaInputCapacity) io.input.clear();
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

// Up to the count, the termination character when enabled, or the end of the
// answer. With no answer ready the read waits for the session's time-out; a
// slow instrument's answer that comes after it is left for the next read.
ViStatus BS_STDCALL viRead(ViSession session, ViByte* buffer, ViUInt32 count, ViUInt32* read) try {
  if (read != nullptr) *read = 0;
  SimVisaObject* object = nullptr;
  if (const ViStatus refused = InstrumentObject(session, object); refused != kViSuccess) {
    return refused;
  }
  if (buffer == nullptr || count == 0) {
    return kViErrorUserBuffer;
  }
  CSimBenchState& state = SimState();
  SimResourceIo& io = state.ResourceIo(object->resource);
  if (io.output.empty()) {
    const uint32_t timeout = object->timeoutMilliseconds;
    if (io.coming.empty()) {
      SimDelay(static_cast<int32_t>(std::min<uint32_t>(timeout, INT32_MAX)));
      return kViErrorTimeout;
    }
    io.output.push_back(io.coming.front());
    io.coming.pop_front();
    const int32_t delay = state.Resources()[object->resource].behaviour->answerDelayMilliseconds;
    if (static_cast<uint32_t>(delay) > timeout) {
      SimDelay(static_cast<int32_t>(timeout));
      return kViErrorTimeout;
    }
    SimDelay(delay);
  }
  std::string& message = io.output.front();
  size_t length = std::min<size_t>(count, message.size());
  bool atTermChar = false;
  if (object->termCharEnabled) {
    const size_t at = message.find(static_cast<char>(object->termChar));
    if (at != std::string::npos && at < length) {
      length = at + 1;
      atTermChar = true;
    }
  }
  std::memcpy(buffer, message.data(), length);
  if (read != nullptr) *read = static_cast<ViUInt32>(length);
  message.erase(0, length);
  const bool ended = message.empty();
  if (ended) io.output.pop_front();
  if (atTermChar) return kViSuccessTermChar;
  return ended ? kViSuccess : kViSuccessMaxCount;
} catch (...) {
  return kSimErrorUnexpected;
}

// Empties what the instrument had received and had to send; its error queue stays.
ViStatus BS_STDCALL viClear(ViSession session) try {
  SimVisaObject* object = nullptr;
  if (const ViStatus refused = InstrumentObject(session, object); refused != kViSuccess) {
    return refused;
  }
  SimResourceIo& io = SimState().ResourceIo(object->resource);
  io.input.clear();
  io.output.clear();
  io.coming.clear();
  object->unread.clear();
  ++io.deviceClears;
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

// A serial poll: also a silent instrument gives its status byte.
ViStatus BS_STDCALL viReadSTB(ViSession session, ViUInt16* statusByte) try {
  SimVisaObject* object = nullptr;
  if (const ViStatus refused = InstrumentObject(session, object); refused != kViSuccess) {
    return refused;
  }
  if (statusByte == nullptr) {
    return kViErrorUserBuffer;
  }
  *statusByte = StatusByte(object->resource);
  return kViSuccess;
} catch (...) {
  return kSimErrorUnexpected;
}

BS_SIM_END_EXPORTS
