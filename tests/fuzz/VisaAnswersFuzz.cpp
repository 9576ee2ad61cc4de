// The GPIB layer check against a VISA library whose every answer comes from the
// input: statuses, resource descriptions and counts, identifications and system
// errors of any length, read counts. The library keeps to its buffer sizes but
// to nothing else.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdarg>
#include <cstring>

#include "instrument/GpibLayerCheck.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

FuzzedDataProvider* g_answers = nullptr;

// The first one is what the library says once the input is used up.
ViStatus Status(ViStatus first) {
  const ViStatus statuses[] = {first, kViSuccess, kViErrorTimeout, kViErrorResourceNotFound, kViErrorIo, 1};
  return g_answers->PickValueInArray(statuses);
}

template <class T>
void Fill(T* value) {
  if (value == nullptr) return;
  const std::vector<uint8_t> bytes = g_answers->ConsumeBytes<uint8_t>(sizeof(T));
  if (!bytes.empty()) std::memcpy(value, bytes.data(), bytes.size());
}

// A description of the size VISA's find functions write (terminated or not).
void Description(char* description) {
  const std::string text = g_answers->ConsumeRandomLengthString(256);
  std::memcpy(description, text.data(), text.size());
  if (text.size() < 256) description[text.size()] = '\0';
}

// Characters up to the count, then a count of any value.
void Read(va_list arguments) {
  ViInt32* count = va_arg(arguments, ViInt32*);
  char* buffer = va_arg(arguments, char*);
  if (count == nullptr || buffer == nullptr || *count < 0) return;
  const std::string text = g_answers->ConsumeRandomLengthString(static_cast<size_t>(*count));
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  Fill(count);
}

ViStatus OpenDefaultRM(ViSession* manager) {
  Fill(manager);
  return Status(kViSuccess);
}
ViStatus Open(ViSession, const char*, ViUInt32, ViUInt32, ViSession* session) {
  Fill(session);
  return Status(kViSuccess);
}
ViStatus Queryf(ViSession, const char* writeFormat, const char* readFormat, ...) {
  va_list arguments;
  va_start(arguments, readFormat);
  if (std::strstr(writeFormat, "%s") != nullptr) va_arg(arguments, const char*);
  Read(arguments);
  va_end(arguments);
  return Status(kViSuccess);
}
ViStatus Scanf(ViSession, const char* readFormat, ...) {
  va_list arguments;
  va_start(arguments, readFormat);
  Read(arguments);
  va_end(arguments);
  return Status(kViErrorTimeout);
}
ViStatus Close(ViObject) { return Status(kViSuccess); }
ViStatus FindRsrc(ViSession, const char*, ViFindList* list, ViUInt32* count, char* description) {
  Fill(list);
  Fill(count);
  Description(description);
  return Status(kViErrorResourceNotFound);
}
ViStatus FindNext(ViFindList, char* description) {
  Description(description);
  return Status(kViErrorResourceNotFound);
}
ViStatus SetAttribute(ViObject, ViAttr, ViAttrState) { return Status(kViSuccess); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider answers(data, size);
  g_answers = &answers;
  CFuzzMachine machine;
  machine.libraries.AddLibrary(kVisaLibrary, {{"viOpenDefaultRM", reinterpret_cast<void*>(&OpenDefaultRM)},
                                              {"viOpen", reinterpret_cast<void*>(&Open)},
                                              {"viQueryf", reinterpret_cast<void*>(&Queryf)},
                                              {"viScanf", reinterpret_cast<void*>(&Scanf)},
                                              {"viClose", reinterpret_cast<void*>(&Close)},
                                              {"viFindRsrc", reinterpret_cast<void*>(&FindRsrc)},
                                              {"viFindNext", reinterpret_cast<void*>(&FindNext)},
                                              {"viSetAttribute", reinterpret_cast<void*>(&SetAttribute)}});
  CGpibLayerCheck check;
  machine.Attach(check);
  check.Begin();
  int steps = 0;
  while (check.Step() != -1) FuzzExpect(++steps < 10, "the check ends");
  g_answers = nullptr;
  return 0;
}
