// Every export called with null pointers and zeros, on open and on unknown
// sessions: statuses, never a crash.
#include <gtest/gtest.h>

#include <type_traits>

#include "tests/unit/sim/SimTestSupport.h"

namespace {

// The first argument is the session (or whatever the function takes first);
// every further one is zero or null.
template <typename First, typename... Rest>
KvStatus CallWithNulls(KvStatus(BS_STDCALL* function)(First, Rest...), KvSession session) {
  First first{};
  if constexpr (std::is_same_v<First, KvSession>) first = session;
  return function(first, Rest{}...);
}

class SimNullArgumentsTest : public SimTest {};

TEST_F(SimNullArgumentsTest, DriverCallsWithNullPointersReturnErrors) {
  const KvSession laserFrame = Open(kMainframeA);   // slot 0: tunable laser
  const KvSession meterFrame = Open(kMainframeB);   // slot 0: dual power meter
  for (KvSession session : {laserFrame, meterFrame, KvSession{0}, KvSession{0x7FFF1234u}}) {
    const bool known = session == laserFrame || session == meterFrame;
#define BS_SIM_CALL_NULLS(number, name, ...)                                     \
  {                                                                              \
    const KvStatus status = CallWithNulls(driver.name, session);                 \
    if (!known) {                                                                \
      EXPECT_LT(status, 0) << #name << " on session " << session;                \
    }                                                                            \
  }
    BS_DRIVER_FUNCTIONS(BS_SIM_CALL_NULLS)
#undef BS_SIM_CALL_NULLS
  }
  // kv740m_close was among the calls; the mainframe opens again.
  int32_t types[18] = {};
  EXPECT_EQ(driver.kv740m_getSlotInformation_Q(meterFrame, 18, types), kViErrorInvalidObject);
  EXPECT_EQ(driver.kv740m_getSlotInformation_Q(Open(kMainframeB), 18, types), 0);
  EXPECT_EQ(types[0], 2);
}

TEST_F(SimNullArgumentsTest, VisaAndPhotonicCallsWithNullPointers) {
  EXPECT_LT(visa.viOpenDefaultRM(nullptr), 0);
  ViSession manager = 0;
  ASSERT_EQ(visa.viOpenDefaultRM(&manager), kViSuccess);
  EXPECT_LT(visa.viFindRsrc(manager, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(visa.viFindRsrc(manager, "GPIB0::?*INSTR", nullptr, nullptr, nullptr), kViSuccess);
  EXPECT_LT(visa.viFindRsrc(0, "GPIB0::?*INSTR", nullptr, nullptr, nullptr), 0);
  EXPECT_LT(visa.viFindNext(0, nullptr), 0);
  EXPECT_LT(visa.viOpen(manager, nullptr, 0, 0, nullptr), 0);
  ViSession session = 0;
  EXPECT_LT(visa.viOpen(manager, nullptr, 0, 0, &session), 0);
  EXPECT_LT(visa.viOpen(0, kMainframeA, 0, 0, &session), 0);
  ASSERT_EQ(visa.viOpen(manager, kMainframeA, 0, 0, &session), kViSuccess);
  EXPECT_LT(visa.viQueryf(session, nullptr, nullptr), 0);
  EXPECT_LT(visa.viQueryf(session, "*IDN?\n", "%t", static_cast<char*>(nullptr)), 0);
  EXPECT_LT(visa.viQueryf(session, "%s\n", "%t", static_cast<const char*>(nullptr), static_cast<char*>(nullptr)),
            0);
  EXPECT_LT(visa.viSetAttribute(0, kViAttrTimeoutValue, 2000), 0);
  EXPECT_NE(visa.viClose(0x7FFF1234u), kViSuccess);
  EXPECT_EQ(visa.viClose(session), kViSuccess);

  auto versionString = reinterpret_cast<ZebFn_ZebVersionString>(FindExport("zeb_32.dll", "ZebVersionString"));
  auto version = reinterpret_cast<ZebFn_ZebVersion>(FindExport("zeb_32.dll", "ZebVersion"));
  ASSERT_TRUE(versionString && version);
  EXPECT_NE(versionString(nullptr), 0);
  EXPECT_NE(version(nullptr, nullptr, nullptr), 0);
}

}  // namespace
