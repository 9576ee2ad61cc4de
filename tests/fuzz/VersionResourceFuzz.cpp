// The version resource of a library the probe finds, built from the input and
// served through the fake library table: any words, translations and strings,
// reported sizes, and answers that point anywhere with any length.
#include <fuzzer/FuzzedDataProvider.h>

#include "host/FileVersionInfo.h"
#include "host/LibraryProbe.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

std::optional<std::string> MaybeText(FuzzedDataProvider& input) {
  if (!input.ConsumeBool()) return std::nullopt;
  return input.ConsumeRandomLengthString(300);
}

FakeVersion Resource(FuzzedDataProvider& input) {
  FakeVersion version;
  version.fileVersionMS = input.ConsumeIntegral<uint32_t>();
  version.fileVersionLS = input.ConsumeIntegral<uint32_t>();
  if (input.ConsumeBool()) version.signature = input.ConsumeIntegral<uint32_t>();
  version.hasFixedInfo = !input.ConsumeBool();
  version.readFails = input.ConsumeProbability<float>() < 0.05f;
  for (int count = input.ConsumeIntegralInRange(0, 3); count > 0; --count) {
    version.translations.push_back(input.ConsumeIntegral<uint32_t>());
  }
  version.companyName = MaybeText(input);
  version.productVersion = MaybeText(input);
  if (input.ConsumeBool()) version.stringTable = input.ConsumeRandomLengthString(9);
  // Mostly a few bytes off what the values need; now and then past any real resource.
  static const uint32_t kHuge[] = {(1u << 20) + 1, 0xFFFFFFFFu};
  if (input.ConsumeBool()) version.reportedSize = input.ConsumeIntegralInRange<uint32_t>(0, 1024);
  else if (input.ConsumeProbability<float>() < 0.01f) version.reportedSize = input.PickValueInArray(kHuge);
  static const char* const kQueries[] = {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904e4\\CompanyName",
                                         "\\StringFileInfo\\040904e4\\ProductVersion"};
  for (int count = input.ConsumeIntegralInRange(0, 2); count > 0; --count) {
    const char* query = input.PickValueInArray(kQueries);
    version.bentAnswers[query] = {input.ConsumeIntegralInRange<int64_t>(-4096, 4096), input.ConsumeIntegral<uint32_t>()};
  }
  return version;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  CFuzzMachine machine;
  const FakeVersion version = Resource(input);
  FakeLibraryOptions options;
  options.version = version;
  options.loadable = input.ConsumeProbability<float>() < 0.9f;
  if (!options.loadable) machine.files.AddFile("C:\\benchsentry\\probe.dll");
  machine.libraries.AddLibrary("probe.dll", {}, options);
  CLibraryProbeCheck check;
  machine.Attach(check);
  check.CheckLibrary("probe.dll", input.ConsumeIntegral<uint32_t>(), input.ConsumeIntegral<uint32_t>());
  check.GetLibraryPublisher("probe.dll");
  return 0;
}
