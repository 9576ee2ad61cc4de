#pragma once
// Bench libraries whose every answer is read from the fuzzer's input: the
// instrument driver and the VISA library. They keep to the sizes of the buffers
// they are given and to nothing else: a text may lack its terminator, a count
// may say anything. Once the input is used up they fail or fall silent.
#include <fuzzer/FuzzedDataProvider.h>

#include "tests/fakes/FakeLibraries.h"

FakeLibraries::Exports DriverAnswering(FuzzedDataProvider& input);
FakeLibraries::Exports VisaAnswering(FuzzedDataProvider& input);
