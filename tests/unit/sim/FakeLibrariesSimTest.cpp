#include <gtest/gtest.h>

#include <string>

#include "instrument/DriverFunctions.h"
#include "platform/Platform.h"
#include "sim/SimExports.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeLibraries.h"

namespace {

const char kSlowBench[] = R"(format_version = 1
[listing]
delay_seconds = 3
[[mainframe]]
address = "GPIB0::20::INSTR"
identification = "Velmora Technologies,VT7412A,DE00000101,V3.12"
)";

// A check that runs against the fake library table must never wait for real:
// the bench's slow listing moves the fake clock on instead.
TEST(FakeLibrariesWithSimulatedBench, SlowListingAdvancesTheFakeClock) {
  const Platform saved = GetPlatform();
  FakeClock clock;
  FakeLibraries libraries;
  Platform platform = saved;
  platform.clock = &clock;
  platform.libraries = &libraries;
  SetPlatform(platform);

  std::string error;
  ASSERT_TRUE(SimLoadBenchText(kSlowBench, "slow.toml", error)) << error;
  ASSERT_TRUE(libraries.AddSimLibrary("kv740m_32.dll"));

  ModuleHandle driver = libraries.LoadLibrary("kv740m_32.dll");
  ASSERT_NE(driver, nullptr);
  auto list = reinterpret_cast<KvFn_kv740m_listVisa_Q>(
      libraries.GetProcAddress(driver, "kv740m_listVisa_Q"));
  ASSERT_NE(list, nullptr);

  const int64_t before = FakeLibraries::SimulatedDelayMilliseconds();
  const int32_t ticks = clock.Ticks();
  int32_t count = 0;
  char addresses[5000] = {};
  EXPECT_EQ(list(0, 1, &count, addresses), 0);
  EXPECT_EQ(count, 1);
  EXPECT_STREQ(addresses, "GPIB0::20::INSTR");
  EXPECT_EQ(FakeLibraries::SimulatedDelayMilliseconds() - before, 3000);
  EXPECT_EQ(clock.Ticks() - ticks, 3000);

  libraries.FreeLibrary(driver);
  SimUseDefaultBench();
  SetPlatform(saved);
}

}  // namespace
