#include <windows.h>

#include <cstdio>
#include <vector>

#include "sim/SimHost.h"

namespace sim {

// Through the process environment, not the C library's copy of it, so that a
// variable set after the start of the program is seen.
std::string BenchFileFromEnvironment() {
  DWORD size = GetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr, 0);
  if (size == 0) {
    return std::string();
  }
  std::vector<char> value(size + 1, '\0');
  DWORD length = GetEnvironmentVariableA("BENCHSENTRY_BENCH", value.data(), size + 1);
  return length > 0 && length <= size ? std::string(value.data(), length) : std::string();
}

void SleepMilliseconds(int32_t milliseconds) {
  if (milliseconds > 0) {
    Sleep(static_cast<DWORD>(milliseconds));
  }
}

void ReportBenchError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  OutputDebugStringA((message + "\n").c_str());
}

}  // namespace sim
