#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "sim/SimState.h"
#include "sim/SimStatus.h"
#include "tests/unit/sim/SimTestSupport.h"

namespace {

class SimDriverTest : public SimTest {
 protected:
  std::vector<int32_t> SlotTypes(KvSession session) {
    std::vector<int32_t> types(18, -1);
    EXPECT_EQ(driver.kv740m_getSlotInformation_Q(session, 18, types.data()), 0);
    return types;
  }
  std::string SlotAnswer(KvSession session, const char* command, int32_t size = 100) {
    std::vector<char> answer(static_cast<size_t>(size), 'x');
    EXPECT_EQ(driver.kv740m_cmdString_Q(session, command, size, answer.data()), 0) << command;
    return answer.data();
  }
  double Read(KvSession session, int32_t slot, int32_t channel) {
    double value = -1.0;
    EXPECT_EQ(driver.kv740m_PWM_readValue(session, slot, channel, &value), 0);
    return value;
  }
};

TEST_F(SimDriverTest, ListsTheMainframesAndOnRequestEveryInstrument) {
  int32_t count = 0;
  char list[5000];
  ASSERT_EQ(driver.kv740m_listVisa_Q(0, 1, &count, list), 0);
  EXPECT_EQ(count, 2);
  EXPECT_STREQ(list, "GPIB0::20::INSTR,GPIB0::22::INSTR");
  ASSERT_EQ(driver.kv740m_listVisa_Q(0, 0, &count, list), 0);
  EXPECT_EQ(count, 3);
  EXPECT_STREQ(list, "GPIB0::20::INSTR,GPIB0::22::INSTR,GPIB1::7::INSTR");
  EXPECT_EQ(driver.kv740m_listVisa_Q(3, 1, &count, list), sim::ParameterError(1));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(Delays().empty());
}

TEST_F(SimDriverTest, ListOverItsBufferKeepsWholeAddressesAndCountsThem) {
  std::string toml = "format_version = 1\n";
  for (int board = 0; board < 10; ++board) {
    for (int primary = 0; primary <= 30; ++primary) {
      const std::string address = "GPIB" + std::to_string(board) + "::" + std::to_string(primary) + "::INSTR";
      toml += "[[mainframe]]\naddress = \"" + address + "\"\nidentification = \"M\"\n";
    }
  }
  LoadBench(toml);
  int32_t count = 0;
  std::vector<char> list(5000 + 64, '\x7f');
  ASSERT_EQ(driver.kv740m_listVisa_Q(0, 1, &count, list.data()), 0);
  const std::string text = list.data();
  EXPECT_LE(text.size(), 4999u);
  EXPECT_EQ(list[5000], '\x7f');
  int32_t commas = 0;
  for (char c : text) commas += c == ',';
  EXPECT_EQ(count, commas + 1);
  EXPECT_LT(count, 310);
  EXPECT_EQ(text.compare(text.size() - 7, 7, "::INSTR"), 0);
}

TEST_F(SimDriverTest, InitGivesDistinctSessionsAndRefusesWhatIsNoMainframe) {
  const KvSession first = Open(kMainframeA);
  const KvSession second = Open(kMainframeA);
  const KvSession third = Open("gpib0::22");
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second);
  EXPECT_NE(second, third);

  KvSession session = 99;
  EXPECT_EQ(driver.kv740m_init("GPIB0::9::INSTR", 1, 0, &session), kViErrorResourceNotFound);
  EXPECT_EQ(session, 0u);
  EXPECT_EQ(driver.kv740m_init("GPIB1::7::INSTR", 1, 0, &session), sim::kKvErrorFailIdQuery);
  EXPECT_EQ(driver.kv740m_preset(0), kViErrorInvalidObject);
  EXPECT_EQ(driver.kv740m_preset(first + 1000), kViErrorInvalidObject);
  EXPECT_EQ(driver.kv740m_close(first), 0);
  EXPECT_EQ(driver.kv740m_cls(first), kViErrorInvalidObject);
  EXPECT_EQ(driver.kv740m_cls(second), 0);
}

// The system closes none of these: past a table's cap the oldest goes, the newest stay.
TEST_F(SimDriverTest, UnclosedSessionsAndAFullErrorQueueStayBounded) {
  const KvSession first = Open(kMainframeA);
  KvSession second = 0, last = 0;
  for (size_t i = 0; i < sim::kMaxDriverSessions; ++i) {
    last = Open(kMainframeB);
    if (second == 0) second = last;
  }
  EXPECT_EQ(driver.kv740m_cls(first), kViErrorInvalidObject);
  EXPECT_EQ(driver.kv740m_cls(second), 0);
  ViSession manager = 0, instrument = 0, newest = 0;
  ASSERT_EQ(visa.viOpenDefaultRM(&manager), kViSuccess);
  ASSERT_EQ(visa.viOpen(manager, kMainframeA, 0, 0, &instrument), kViSuccess);
  for (size_t i = 0; i < sim::kMaxVisaObjects; ++i) visa.viOpenDefaultRM(&newest);
  EXPECT_EQ(visa.viClose(instrument), kViErrorInvalidObject);  // went with its manager
  EXPECT_EQ(visa.viClose(newest), kViSuccess);
  for (size_t i = 0; i <= sim::kErrorQueueCapacity; ++i) driver.kv740m_cmd(last, "FLY:HIGH");
  for (size_t i = 1; i < sim::kErrorQueueCapacity; ++i) PopError(last);
  EXPECT_EQ(PopError(last), "-350 Queue overflow");
  EXPECT_EQ(PopError(last), "0 No error");
}

TEST_F(SimDriverTest, IdentifiesMainframesAndTheirSlots) {
  char id[2048];
  ASSERT_EQ(driver.kv740m_getInstrumentId_Q(kMainframeA, id), 0);
  EXPECT_STREQ(id, "Velmora Technologies,VT7412A,DE00000101,V3.12(4711)");
  EXPECT_EQ(driver.kv740m_getInstrumentId_Q("GPIB0::9::INSTR", id), kViErrorResourceNotFound);
  EXPECT_STREQ(id, "");

  const KvSession a = Open(kMainframeA);
  const KvSession b = Open(kMainframeB);
  std::vector<int32_t> expectedA(18, 0);
  expectedA[0] = 5;
  expectedA[1] = 1;
  expectedA[2] = 2;
  expectedA[12] = 6;
  EXPECT_EQ(SlotTypes(a), expectedA);
  std::vector<int32_t> expectedB(18, 0);
  expectedB[0] = 2;
  expectedB[3] = 1;
  EXPECT_EQ(SlotTypes(b), expectedB);

  EXPECT_EQ(SlotAnswer(a, "SLOT0:IDN?"), "Velmora Technologies,VT7451B,DE00000201,V2.40");
  EXPECT_EQ(SlotAnswer(a, "SLOT12:IDN?"), "Velmora Technologies,VT7481A,DE00000401,V1.20");
  EXPECT_NE(SlotAnswer(b, "SLOT3:IDN?").find("795"), std::string::npos);
  EXPECT_EQ(SlotAnswer(a, "*IDN?"), "Velmora Technologies,VT7412A,DE00000101,V3.12(4711)");
  // The answer buffer of 30 characters holds 29 and the terminator.
  EXPECT_EQ(SlotAnswer(a, "SLOT1:IDN?", 30), "Velmora Technologies,VT7462A,");
}

TEST_F(SimDriverTest, AnswersWithinTheGivenSizeOnly) {
  const KvSession a = Open(kMainframeA);
  char answer[40];
  std::memset(answer, '\x7f', sizeof answer);
  ASSERT_EQ(driver.kv740m_cmdString_Q(a, "SLOT0:IDN?", 10, answer), 0);
  EXPECT_STREQ(answer, "Velmora T");
  EXPECT_EQ(answer[10], '\x7f');
  EXPECT_EQ(driver.kv740m_cmdString_Q(a, "SLOT0:IDN?", 0, answer), sim::ParameterError(3));
  int32_t types[4] = {-1, -1, -1, -1};
  ASSERT_EQ(driver.kv740m_getSlotInformation_Q(a, 3, types), 0);
  EXPECT_EQ(types[3], -1);
}

TEST_F(SimDriverTest, EmptySlotsAndUnknownCommandsLeaveAnErrorInTheQueue) {
  const KvSession a = Open(kMainframeA);
  char answer[100];
  EXPECT_EQ(driver.kv740m_cmdString_Q(a, "SLOT5:IDN?", 100, answer), kKvInstrumentError);
  EXPECT_EQ(driver.kv740m_cmdString_Q(a, "SLOT18:IDN?", 100, answer), kKvInstrumentError);
  EXPECT_EQ(PopError(a), "-241 Hardware missing");
  EXPECT_EQ(SlotAnswer(a, "syst:err?"), "-113,\"Undefined header\"");
  EXPECT_EQ(PopError(a), "0 No error");
  EXPECT_EQ(driver.kv740m_cmd(a, "FLY:HIGH"), kKvInstrumentError);
  EXPECT_EQ(driver.kv740m_cls(a), 0);
  EXPECT_EQ(PopError(a), "0 No error");
}

TEST_F(SimDriverTest, ErrorMessagesForKnownAndUnknownStatuses) {
  EXPECT_EQ(ErrorMessage(0), "No error");
  EXPECT_EQ(ErrorMessage(kViErrorInvalidObject), "Invalid session handle");
  EXPECT_EQ(ErrorMessage(sim::ParameterError(3)), "Parameter 3 out of range");
  EXPECT_EQ(ErrorMessage(sim::Status(0xBFFC0999u)), "Unknown status code 0xBFFC0999");
  char text[256];
  EXPECT_EQ(driver.kv740m_error_message(12345, 0, text), kViErrorInvalidObject);
  EXPECT_STREQ(text, "No error");
}

TEST_F(SimDriverTest, PowerMetersReadDarkUntilALaserOfTheirMainframeIsOn) {
  const KvSession a = Open(kMainframeA);
  const KvSession b = Open(kMainframeB);
  EXPECT_DOUBLE_EQ(Read(a, 1, 0), 3.2e-10);
  EXPECT_DOUBLE_EQ(Read(a, 2, 1), 2.5e-10);
  ASSERT_EQ(driver.kv740m_set_TLS_parameters(a, 0, 1, 3, 1, 0.001, 0.0, 1.544e-6), 0);
  ASSERT_EQ(driver.kv740m_set_TLS_laserState(a, 0, 1), 0);
  EXPECT_DOUBLE_EQ(Read(a, 1, 0), 4.7e-4);
  EXPECT_DOUBLE_EQ(Read(a, 2, 0), 2.1e-4);
  EXPECT_DOUBLE_EQ(Read(a, 2, 1), 1.0e-5);
  EXPECT_DOUBLE_EQ(Read(b, 0, 0), 1.1e-10);  // another mainframe stays dark

  ASSERT_EQ(driver.kv740m_set_PWM_parameters(a, 1, 0, 1, 0, 1, 1.544e-6, 0.02, 0.0), 0);
  EXPECT_NEAR(Read(a, 1, 0), 10.0 * std::log10(4.7e-4 * 1000.0), 1e-9);

  ASSERT_EQ(driver.kv740m_set_TLS_laserState(a, 0, 0), 0);
  EXPECT_DOUBLE_EQ(Read(a, 2, 0), 1.5e-10);

  double value = 0;
  EXPECT_EQ(driver.kv740m_PWM_readValue(a, 1, 1, &value), sim::ParameterError(3));  // single channel
  EXPECT_EQ(driver.kv740m_PWM_readValue(a, 0, 0, &value), sim::kKvErrorWrongModule);
  EXPECT_EQ(driver.kv740m_PWM_readValue(a, 18, 0, &value), sim::ParameterError(2));
}

TEST_F(SimDriverTest, LaserStateAndOpticalOutputAreWhatWasSet) {
  const KvSession a = Open(kMainframeA);
  uint16_t state = 7;
  int32_t output = -1;
  ASSERT_EQ(driver.kv740m_get_TLS_laserState_Q(a, 0, &state), 0);
  EXPECT_EQ(state, 0);
  ASSERT_EQ(driver.kv740m_set_TLS_parameters(a, 0, 1, 2, 1, 0.001, 0.0, 1.544e-6), 0);
  ASSERT_EQ(driver.kv740m_get_TLS_opticalOutput_Q(a, 0, &output), 0);
  EXPECT_EQ(output, 2);
  ASSERT_EQ(driver.kv740m_get_TLS_laserState_Q(a, 0, &state), 0);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(driver.kv740m_set_TLS_parameters(a, 0, 1, 4, 1, 0.001, 0.0, 1.544e-6), sim::ParameterError(4));
  EXPECT_EQ(driver.kv740m_set_TLS_laserState(a, 1, 1), sim::kKvErrorWrongModule);
  ASSERT_EQ(driver.kv740m_preset(a), 0);
  ASSERT_EQ(driver.kv740m_get_TLS_laserState_Q(a, 0, &state), 0);
  EXPECT_EQ(state, 0);
}

class SimSweepTest : public SimDriverTest {
 protected:
  void SetUp() override {
    SimDriverTest::SetUp();
    a = Open(kMainframeA);
    b = Open(kMainframeB);
  }
  void ArmMeters(KvSession session, std::initializer_list<int32_t> slots) {
    for (int32_t slot : slots) {
      double estimate = 0;
      ASSERT_EQ(driver.kv740m_set_PWM_triggerConfiguration(session, slot, 1, 0), 0);
      ASSERT_EQ(driver.kv740m_set_PWM_logging(session, slot, 0, 0.1, 11, &estimate), 0);
      EXPECT_DOUBLE_EQ(estimate, 1.1);
    }
  }
  void Sweep(bool triggerOut = true) {
    ASSERT_EQ(driver.kv740m_set_TLS_triggerConfiguration(a, 0, 0, triggerOut ? 2 : 0), 0);
    ASSERT_EQ(driver.kv740m_set_TLS_sweep(a, 0, 2, 0, 1, 0, 0, 1.545e-6, 1.555e-6, 1e-9, 5e-9), 0);
    ASSERT_EQ(driver.kv740m_TLS_sweepControl(a, 0, 1), 0);
    ASSERT_EQ(driver.kv740m_TLS_sweepWait(a, 0), 0);
  }
  uint16_t Finished(KvSession session, int32_t slot, std::vector<double>* values = nullptr) {
    uint16_t finished = 9;
    std::vector<double> results(12, -1.0);
    EXPECT_EQ(driver.kv740m_get_PWM_loggingResults_Q(session, slot, 0, 0, 1, &finished, results.data()), 0);
    EXPECT_EQ(results[11], -1.0);  // never more than the 11 armed
    if (values != nullptr) *values = results;
    return finished;
  }
  KvSession a = 0;
  KvSession b = 0;
};

TEST_F(SimSweepTest, WithTheWholeChainEveryArmedMeterLogsItsPoints) {
  ASSERT_EQ(driver.kv740m_standardTriggerConfiguration(a, 3, 0, 0, 0), 0);
  ASSERT_EQ(driver.kv740m_standardTriggerConfiguration(b, 3, 0, 0, 0), 0);
  ArmMeters(a, {1, 2});
  ArmMeters(b, {0, 3});
  Sweep();
  std::vector<double> values;
  EXPECT_EQ(Finished(a, 1, &values), 1);
  for (int i = 0; i < 11; ++i) EXPECT_DOUBLE_EQ(values[static_cast<size_t>(i)], 3.2e-10) << i;
  EXPECT_EQ(Finished(a, 2), 1);
  EXPECT_EQ(Finished(b, 0), 1);
  EXPECT_EQ(Finished(b, 3), 1);
}

TEST_F(SimSweepTest, AMainframeOutsideTheChainLogsNothing) {
  ASSERT_EQ(driver.kv740m_standardTriggerConfiguration(a, 3, 0, 0, 0), 0);
  ArmMeters(a, {1});
  ArmMeters(b, {0});
  Sweep();
  EXPECT_EQ(Finished(a, 1), 1);
  EXPECT_EQ(Finished(b, 0), 0);
}

TEST_F(SimSweepTest, WithoutLaserTriggersOrWithoutWaitingNothingFinishes) {
  ASSERT_EQ(driver.kv740m_standardTriggerConfiguration(a, 3, 0, 0, 0), 0);
  ArmMeters(a, {1});
  Sweep(false);
  EXPECT_EQ(Finished(a, 1), 0);

  ArmMeters(a, {1});
  ASSERT_EQ(driver.kv740m_set_TLS_triggerConfiguration(a, 0, 0, 2), 0);
  ASSERT_EQ(driver.kv740m_TLS_sweepControl(a, 0, 1), 0);
  EXPECT_EQ(Finished(a, 1), 0);
  uint16_t finished = 5;
  double results[11];
  EXPECT_EQ(driver.kv740m_get_PWM_loggingResults_Q(a, 1, 0, 1, 1, &finished, results), kViErrorTimeout);
  EXPECT_EQ(finished, 0);
}

TEST_F(SimSweepTest, NeedsASweepAndArmedLogging) {
  EXPECT_EQ(driver.kv740m_TLS_sweepControl(a, 0, 1), kKvInstrumentError);
  EXPECT_EQ(PopError(a), "-221 Settings conflict; no sweep configured");
  uint16_t finished = 5;
  double results[11];
  EXPECT_EQ(driver.kv740m_get_PWM_loggingResults_Q(a, 1, 0, 0, 1, &finished, results), sim::kKvErrorNoLogging);
  EXPECT_EQ(finished, 0);
}

TEST_F(SimSweepTest, APresetTakesTheMainframeOutOfTheChain) {
  ASSERT_EQ(driver.kv740m_standardTriggerConfiguration(a, 3, 0, 0, 0), 0);
  ArmMeters(a, {1});
  ASSERT_EQ(driver.kv740m_preset(a), 0);
  ArmMeters(a, {1});
  Sweep();
  EXPECT_EQ(Finished(a, 1), 0);
}

}  // namespace
