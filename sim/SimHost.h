#pragma once
// What the simulated libraries need from their host: one file for the DLLs
// (sim/win32/SimHostWin32.cpp), one for the native build (sim/SimHostNative.cpp).
#include <cstdint>
#include <string>

namespace sim {

// The bench file named by BENCHSENTRY_BENCH; empty when it is not set.
std::string BenchFileFromEnvironment();

void SleepMilliseconds(int32_t milliseconds);

// A library must not block its caller, so no message box: stderr and the debug output.
void ReportBenchError(const std::string& message);

// The company in the version resource of this library's own file; empty when
// it has none (natively, where the library is no file of its own).
std::string OwnPublisher();

}  // namespace sim
