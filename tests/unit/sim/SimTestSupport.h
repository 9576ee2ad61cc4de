#pragma once
// Binds the simulated libraries by name, as the system binds the real ones.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/ZebFunctions.h"
#include "instrument/DriverFunctions.h"
#include "instrument/VisaFunctions.h"
#include "sim/SimExports.h"

inline void* FindExport(const std::string& library, const char* name, const std::string& variant = "") {
  const std::vector<SimExport>* exports = SimLibraryExports(library, variant);
  if (exports == nullptr) {
    return nullptr;
  }
  for (const SimExport& entry : *exports) {
    if (std::strcmp(entry.name, name) == 0) {
      return entry.address;
    }
  }
  return nullptr;
}

struct SimDriver {
#define BS_SIM_TEST_FIELD(number, name, ...) KvFn_##name name = nullptr;
  BS_DRIVER_FUNCTIONS(BS_SIM_TEST_FIELD)
#undef BS_SIM_TEST_FIELD
  SimDriver() {
#define BS_SIM_TEST_BIND(number, name, ...) \
  name = reinterpret_cast<KvFn_##name>(FindExport("kv740m_32.dll", #name));
    BS_DRIVER_FUNCTIONS(BS_SIM_TEST_BIND)
#undef BS_SIM_TEST_BIND
  }
};

struct SimVisa {
  BS_VISA_FUNCTIONS(BS_VISA_TABLE_FIELD)
  SimVisa() {
#define BS_SIM_TEST_BIND(number, name, ...) name = reinterpret_cast<ViFn_##name>(FindExport("visa32", #name));
    BS_VISA_FUNCTIONS(BS_SIM_TEST_BIND)
#undef BS_SIM_TEST_BIND
  }
};

// Every test starts from the default bench and records waits instead of sleeping.
class SimTest : public ::testing::Test {
 protected:
  static std::vector<int32_t>& Delays() {
    static std::vector<int32_t> delays;
    return delays;
  }
  static void RecordDelay(int32_t milliseconds) { Delays().push_back(milliseconds); }

  void SetUp() override {
    Delays().clear();
    SimSetDelayHook(&RecordDelay);
    SimUseDefaultBench();
  }
  void TearDown() override {
    SimUseDefaultBench();
    SimSetDelayHook(nullptr);
  }
  void LoadBench(const std::string& toml) {
    std::string error;
    ASSERT_TRUE(SimLoadBenchText(toml, "test.toml", error)) << error;
  }
  KvSession Open(const char* address) {
    KvSession session = 0;
    EXPECT_EQ(driver.kv740m_init(address, 1, 0, &session), 0);
    return session;
  }
  std::string ErrorMessage(KvStatus status) {
    char text[256] = {};
    driver.kv740m_error_message(0, status, text);
    return text;
  }
  std::string PopError(KvSession session) {
    int32_t code = 0;
    char text[256] = {};
    EXPECT_EQ(driver.kv740m_error_query(session, &code, text), 0);
    return std::to_string(code) + " " + text;
  }

  SimDriver driver;
  SimVisa visa;
};

constexpr const char* kMainframeA = "GPIB0::20::INSTR";
constexpr const char* kMainframeB = "GPIB0::22::INSTR";
