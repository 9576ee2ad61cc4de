// zeb_32.dll: the photonic library, as far as the diagnosis probes it.
#include <cstring>

#include "sim/SimFunctions.h"
#include "sim/SimVersions.h"

namespace {

constexpr size_t kVersionStringCapacity = 10000;
int g_initialised = 0;

}  // namespace

BS_SIM_BEGIN_EXPORTS

int32_t BS_STDCALL ZebVersionString(char* buffer) try {
  if (buffer == nullptr) {
    return -1;
  }
  static_assert(sizeof(sim::kZebVersionText) < kVersionStringCapacity);
  std::memcpy(buffer, sim::kZebVersionText, sizeof(sim::kZebVersionText));
  return 0;
} catch (...) {
  return -1;
}

int32_t BS_STDCALL ZebVersion(int16_t* major, int16_t* minor, int16_t* build) try {
  if (major == nullptr || minor == nullptr || build == nullptr) {
    return -1;
  }
  *major = sim::kZebVersionMajor;
  *minor = sim::kZebVersionMinor;
  *build = sim::kZebVersionBuild;
  return 0;
} catch (...) {
  return -1;
}

int32_t BS_STDCALL ZebInit(int32_t a, int32_t b) try {
  ++g_initialised;
  return 0;
} catch (...) {
  return -1;
}

int32_t BS_STDCALL ZebClose() try {
  if (g_initialised == 0) {
    return -1;  // closed more often than opened
  }
  --g_initialised;
  return 0;
} catch (...) {
  return -1;
}

BS_SIM_END_EXPORTS
