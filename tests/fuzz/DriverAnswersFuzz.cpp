// The Instrument or the Optical layer check, or the trigger test, against a
// driver whose every answer comes from the input: statuses, the address list
// and its count, identifications, slot codes and answers, error texts, readings.
#include "bench/TriggerCheck.h"
#include "instrument/OpticalLayerCheck.h"
#include "tests/fuzz/FuzzAnswers.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int kind = input.ConsumeIntegralInRange(0, 2);
  CFuzzMachine machine;
  machine.libraries.AddLibrary(kDriverLibrary, DriverAnswering(input));
  if (kind == 2) {
    CTriggerCheck trigger;
    machine.Attach(trigger);
    trigger.BeginWithDriver();
    std::string list;
    const int32_t count = trigger.GetTlsList(list);
    if (count > 0) trigger.RunTriggerTest(input.ConsumeIntegralInRange(-1, count));
    return 0;
  }
  std::unique_ptr<CInstrLayerCheck> check =
      kind == 1 ? std::make_unique<COpticalLayerCheck>() : std::make_unique<CInstrLayerCheck>();
  machine.Attach(*check);
  check->BeginWithDriver();
  for (int steps = 1; check->Step() != -1; ++steps) FuzzExpect(steps < 10, "the check ends");
  return 0;
}
