// The GPIB layer check against a VISA library whose every answer comes from the
// input: statuses, resource descriptions and counts, identifications and system
// errors of any length, read counts.
#include "instrument/GpibLayerCheck.h"
#include "tests/fuzz/FuzzAnswers.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  CFuzzMachine machine;
  machine.libraries.AddLibrary(kVisaLibrary, VisaAnswering(input));
  CGpibLayerCheck check;
  machine.Attach(check);
  check.Begin();
  for (int steps = 1; check.Step() != -1; ++steps) FuzzExpect(steps < 10, "the check ends");
  return 0;
}
