// The Instrument or the Optical layer check, or the trigger test, against a
// driver whose every answer comes from the input: statuses, the address list and
// its count, identifications, slot codes and answers, error texts, readings. The
// driver keeps to its buffer sizes but to nothing else: a text may lack its
// terminator.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

#include "bench/TriggerCheck.h"
#include "instrument/OpticalLayerCheck.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

FuzzedDataProvider* g_answers = nullptr;

KvStatus Status() {
  // The first one is what a driver says once the input is used up.
  static const KvStatus kStatuses[] = {0, 1, kKvInstrumentError, static_cast<KvStatus>(0xBFFF003Eu), -1};
  return g_answers->PickValueInArray(kStatuses);
}

void Text(char* buffer, size_t size) {
  const std::string text = g_answers->ConsumeRandomLengthString(size);
  std::memcpy(buffer, text.data(), text.size());
  if (text.size() < size) buffer[text.size()] = '\0';
}

template <class T>
void Fill(T) {}
// Commands go in; the texts that come out have their own functions below.
void Fill(const char*) {}
void Fill(char*) {}
template <class T>
void Fill(T* value) {
  if (value == nullptr) return;
  const std::vector<uint8_t> bytes = g_answers->ConsumeBytes<uint8_t>(sizeof(T));
  if (!bytes.empty()) std::memcpy(value, bytes.data(), bytes.size());
}

// Every function without a text to give: each output from the input.
template <class Fn>
struct CAnswers;
template <class... Args>
struct CAnswers<KvStatus (*)(Args...)> {
  static KvStatus Call(Args... args) {
    (Fill(args), ...);
    return Status();
  }
};

KvStatus ListVisa(int32_t, int32_t, int32_t* count, char* list) {
  Fill(count);
  Text(list, kKvListSize);
  return Status();
}
KvStatus InstrumentId(const char*, char* identification) {
  Text(identification, kKvIdentificationSize);
  return Status();
}
KvStatus ErrorQuery(KvSession, int32_t* code, char* message) {
  Fill(code);
  Text(message, kKvMessageSize);
  return Status();
}
KvStatus ErrorMessage(KvSession, KvStatus, char* message) {
  Text(message, kKvMessageSize);
  return Status();
}
KvStatus SlotInformation(KvSession, int32_t count, int32_t* codes) {
  // Mostly the codes of the modules, now and then any number.
  for (int32_t slot = 0; slot < count; ++slot) {
    codes[slot] = g_answers->ConsumeBool() ? g_answers->ConsumeIntegralInRange<int32_t>(0, 8)
                                           : g_answers->ConsumeIntegral<int32_t>();
  }
  return Status();
}
KvStatus CmdString(KvSession, const char*, int32_t size, char* answer) {
  if (size > 0) Text(answer, static_cast<size_t>(size));
  return Status();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider answers(data, size);
  g_answers = &answers;
  const int kind = answers.ConsumeIntegralInRange(0, 2);
  FakeLibraries::Exports exports;
#define BS_FUZZ_EXPORT(number, name, params) \
  exports[#name] = reinterpret_cast<void*>(&CAnswers<KvFn_##name>::Call);
  BS_DRIVER_FUNCTIONS(BS_FUZZ_EXPORT)
#undef BS_FUZZ_EXPORT
  exports["kv740m_listVisa_Q"] = reinterpret_cast<void*>(&ListVisa);
  exports["kv740m_getInstrumentId_Q"] = reinterpret_cast<void*>(&InstrumentId);
  exports["kv740m_error_query"] = reinterpret_cast<void*>(&ErrorQuery);
  exports["kv740m_error_message"] = reinterpret_cast<void*>(&ErrorMessage);
  exports["kv740m_cmdString_Q"] = reinterpret_cast<void*>(&CmdString);
  exports["kv740m_getSlotInformation_Q"] = reinterpret_cast<void*>(&SlotInformation);

  CFuzzMachine machine;
  machine.libraries.AddLibrary(kDriverLibrary, exports);
  if (kind == 2) {
    CTriggerCheck trigger;
    machine.Attach(trigger);
    trigger.BeginWithDriver();
    std::string list;
    const int32_t count = trigger.GetTlsList(list);
    if (count > 0) trigger.RunTriggerTest(answers.ConsumeIntegralInRange(-1, count));
  } else {
    std::unique_ptr<CInstrLayerCheck> check =
        kind == 1 ? std::make_unique<COpticalLayerCheck>() : std::make_unique<CInstrLayerCheck>();
    machine.Attach(*check);
    check->BeginWithDriver();
    int steps = 0;
    while (check->Step() != -1) FuzzExpect(++steps < 10, "the check ends");
  }
  g_answers = nullptr;
  return 0;
}
