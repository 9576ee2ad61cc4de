#include "tests/fuzz/FuzzAnswers.h"

#include <cstdarg>
#include <cstring>

#include "instrument/DriverFunctions.h"
#include "instrument/VisaFunctions.h"

namespace {

FuzzedDataProvider* g_input = nullptr;

// The first status is the one given once the input is used up.
template <class Status>
Status Answer(std::initializer_list<Status> statuses) {
  const size_t pick = g_input->ConsumeIntegralInRange<size_t>(0, statuses.size() - 1);
  return statuses.begin()[pick];
}

void Text(char* buffer, size_t size) {
  const std::string text = g_input->ConsumeRandomLengthString(size);
  std::memcpy(buffer, text.data(), text.size());
  if (text.size() < size) buffer[text.size()] = '\0';
}

// Values in, and the texts that have their own functions below.
template <class T>
void Fill(T) {}
void Fill(const char*) {}
void Fill(char*) {}
template <class T>
void Fill(T* value) {
  const std::vector<uint8_t> bytes = g_input->ConsumeBytes<uint8_t>(sizeof(T));
  if (value != nullptr && !bytes.empty()) std::memcpy(value, bytes.data(), bytes.size());
}

KvStatus DriverStatus() {
  return Answer<KvStatus>({0, 1, kKvInstrumentError, static_cast<KvStatus>(0xBFFF003Eu), -1});
}

// A driver function that gives no text: each output from the input.
template <class Fn>
struct CDriverAnswer;
template <class... Args>
struct CDriverAnswer<KvStatus (*)(Args...)> {
  static KvStatus Call(Args... args) {
    (Fill(args), ...);
    return DriverStatus();
  }
};

// Each text into a buffer of the size the driver's documentation gives it.
KvStatus ListVisa(int32_t, int32_t, int32_t* count, char* list) {
  Fill(count);
  Text(list, kKvListSize);
  return DriverStatus();
}
KvStatus InstrumentId(const char*, char* identification) {
  Text(identification, kKvIdentificationSize);
  return DriverStatus();
}
KvStatus ErrorQuery(KvSession, int32_t* code, char* message) {
  Fill(code);
  Text(message, kKvMessageSize);
  return DriverStatus();
}
KvStatus ErrorMessage(KvSession, KvStatus, char* message) {
  Text(message, kKvMessageSize);
  return DriverStatus();
}
KvStatus CmdString(KvSession, const char*, int32_t size, char* answer) {
  if (size > 0) Text(answer, static_cast<size_t>(size));
  return DriverStatus();
}
KvStatus SlotInformation(KvSession, int32_t count, int32_t* codes) {
  // Mostly the codes of modules, now and then any number.
  for (int32_t slot = 0; slot < count; ++slot) {
    codes[slot] = g_input->ConsumeBool() ? g_input->ConsumeIntegralInRange<int32_t>(0, 8)
                                         : g_input->ConsumeIntegral<int32_t>();
  }
  return DriverStatus();
}

ViStatus VisaStatus(ViStatus first) {
  return Answer<ViStatus>({first, kViSuccess, kViErrorTimeout, kViErrorResourceNotFound, kViErrorIo, 1});
}

// "%#t": characters up to the count given, then a count of any value.
void Read(va_list arguments) {
  ViInt32* count = va_arg(arguments, ViInt32*);
  char* buffer = va_arg(arguments, char*);
  if (count == nullptr || buffer == nullptr || *count < 0) return;
  const std::string text = g_input->ConsumeRandomLengthString(static_cast<size_t>(*count));
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  Fill(count);
}

ViStatus OpenDefaultRM(ViSession* manager) { return Fill(manager), VisaStatus(kViSuccess); }
ViStatus Open(ViSession, const char*, ViUInt32, ViUInt32, ViSession* session) {
  return Fill(session), VisaStatus(kViSuccess);
}
ViStatus Queryf(ViSession, const char* writeFormat, const char* readFormat, ...) {
  va_list arguments;
  va_start(arguments, readFormat);
  if (std::strstr(writeFormat, "%s") != nullptr) va_arg(arguments, const char*);
  Read(arguments);
  va_end(arguments);
  return VisaStatus(kViSuccess);
}
ViStatus Scanf(ViSession, const char* readFormat, ...) {
  va_list arguments;
  va_start(arguments, readFormat);
  Read(arguments);
  va_end(arguments);
  return VisaStatus(kViErrorTimeout);
}
ViStatus Close(ViObject) { return VisaStatus(kViSuccess); }
// Descriptions of the size the find functions write.
ViStatus FindRsrc(ViSession, const char*, ViFindList* list, ViUInt32* count, char* description) {
  Fill(list);
  Fill(count);
  Text(description, 256);
  return VisaStatus(kViErrorResourceNotFound);
}
ViStatus FindNext(ViFindList, char* description) {
  Text(description, 256);
  return VisaStatus(kViErrorResourceNotFound);
}
ViStatus SetAttribute(ViObject, ViAttr, ViAttrState) { return VisaStatus(kViSuccess); }

template <class Fn>
void* Address(Fn function) {
  return reinterpret_cast<void*>(function);
}

}  // namespace

FakeLibraries::Exports DriverAnswering(FuzzedDataProvider& input) {
  g_input = &input;
  FakeLibraries::Exports exports;
#define BS_FUZZ_EXPORT(number, name, params, roles) exports[#name] = Address(&CDriverAnswer<KvFn_##name>::Call);
  BS_DRIVER_FUNCTIONS(BS_FUZZ_EXPORT)
#undef BS_FUZZ_EXPORT
  exports["kv740m_listVisa_Q"] = Address(&ListVisa);
  exports["kv740m_getInstrumentId_Q"] = Address(&InstrumentId);
  exports["kv740m_error_query"] = Address(&ErrorQuery);
  exports["kv740m_error_message"] = Address(&ErrorMessage);
  exports["kv740m_cmdString_Q"] = Address(&CmdString);
  exports["kv740m_getSlotInformation_Q"] = Address(&SlotInformation);
  return exports;
}

FakeLibraries::Exports VisaAnswering(FuzzedDataProvider& input) {
  g_input = &input;
  return {{"viOpenDefaultRM", Address(&OpenDefaultRM)}, {"viOpen", Address(&Open)},
          {"viQueryf", Address(&Queryf)},               {"viScanf", Address(&Scanf)},
          {"viClose", Address(&Close)},                 {"viFindRsrc", Address(&FindRsrc)},
          {"viFindNext", Address(&FindNext)},           {"viSetAttribute", Address(&SetAttribute)}};
}
