#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "sim/SimHost.h"

namespace sim {

std::string BenchFileFromEnvironment() {
  const char* value = std::getenv("BENCHSENTRY_BENCH");
  return value != nullptr ? std::string(value) : std::string();
}

void SleepMilliseconds(int32_t milliseconds) {
  if (milliseconds > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

void ReportBenchError(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

std::string OwnPublisher() { return std::string(); }

}  // namespace sim
