#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "sim/SimStatus.h"
#include "tests/unit/sim/SimTestSupport.h"

namespace {

const std::string kOneMainframe =
    "format_version = 1\n"
    "[[mainframe]]\naddress = \"GPIB0::20::INSTR\"\nidentification = \"Velmora Technologies,VT7412A,1,2\"\n"
    "[[mainframe.slot]]\nslot = 0\ntype = 5\nidentification = \"Velmora Technologies,VT7451B,3,4\"\n"
    "[[mainframe.slot]]\nslot = 1\ntype = 1\nidentification = \"Velmora Technologies,VT7462A,5,6\"\n";

class SimFaultsTest : public SimTest {};

TEST_F(SimFaultsTest, ListingFailsWithItsStatusAndText) {
  LoadBench("format_version = 1\n[listing]\nfails = true\nstatus = 0xBFFC0D40\nmessage = \"GPIB bus jammed\"\n");
  int32_t count = 4;
  char list[5000] = "x";
  const KvStatus status = driver.kv740m_listVisa_Q(0, 1, &count, list);
  EXPECT_EQ(status, sim::Status(0xBFFC0D40u));
  EXPECT_EQ(count, 0);
  EXPECT_STREQ(list, "");
  EXPECT_EQ(ErrorMessage(status), "GPIB bus jammed");
}

TEST_F(SimFaultsTest, SlowListingWaitsThroughTheHook) {
  LoadBench("format_version = 1\n[listing]\ndelay_seconds = 2.5\n");
  int32_t count = 4;
  char list[5000];
  EXPECT_EQ(driver.kv740m_listVisa_Q(0, 1, &count, list), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(Delays(), std::vector<int32_t>{2500});
}

TEST_F(SimFaultsTest, NothingThrownInsideCrossesTheExports) {
  // The wait is the one place a test can make the inside of a call throw.
  LoadBench("format_version = 1\n[listing]\ndelay_seconds = 1\n[visa]\ntimeout_delay_ms = 5\n[[instrument]]\n"
            "address = \"GPIB0::3::INSTR\"\nidentification = \"C\"\nidn_timeout = true\n");
  SimSetDelayHook([](int32_t) { throw std::bad_alloc(); });
  int32_t count = 4;
  char list[5000];
  EXPECT_EQ(driver.kv740m_listVisa_Q(0, 1, &count, list), sim::kSimErrorUnexpected);

  ViSession manager = 0;
  ViSession session = 0;
  ASSERT_EQ(visa.viOpenDefaultRM(&manager), kViSuccess);
  ASSERT_EQ(visa.viOpen(manager, "GPIB0::3::INSTR", 0, 0, &session), kViSuccess);
  char answer[256] = {};
  EXPECT_EQ(visa.viQueryf(session, "*IDN?\n", "%t", answer), sim::kSimErrorUnexpected);
  SimSetDelayHook(&RecordDelay);
  EXPECT_EQ(visa.viQueryf(session, "*IDN?\n", "%t", answer), kViErrorTimeout);
}

TEST_F(SimFaultsTest, InitFailsForOneAddress) {
  LoadBench(kOneMainframe + "[[mainframe.fault]]\nfunction = \"kv740m_init\"\nstatus = -1074000600\n"
                            "message = \"Mainframe does not answer\"\n");
  KvSession session = 3;
  const KvStatus status = driver.kv740m_init("GPIB0::20::INSTR", 1, 0, &session);
  EXPECT_EQ(status, -1074000600);
  EXPECT_EQ(session, 0u);
  EXPECT_EQ(ErrorMessage(status), "Mainframe does not answer");
  // The system presets even after a failed init: the session it got is none.
  EXPECT_EQ(driver.kv740m_preset(session), kViErrorInvalidObject);
}

TEST_F(SimFaultsTest, AChosenCallFailsOnItsMainframeOnly) {
  LoadBench(kOneMainframe + "[[mainframe.fault]]\nfunction = \"kv740m_getSlotInformation_Q\"\n" +
            "[[mainframe]]\naddress = \"GPIB0::21::INSTR\"\nidentification = \"B\"\n");
  const KvSession faulty = Open("GPIB0::20::INSTR");
  const KvSession healthy = Open("GPIB0::21::INSTR");
  int32_t types[18];
  EXPECT_EQ(driver.kv740m_getSlotInformation_Q(faulty, 18, types), kViErrorIo);
  EXPECT_EQ(ErrorMessage(kViErrorIo), "I/O error");
  EXPECT_EQ(driver.kv740m_getSlotInformation_Q(healthy, 18, types), 0);
}

TEST_F(SimFaultsTest, InstrumentErrorFaultLeavesItsMessageInTheQueue) {
  LoadBench("format_version = 1\n[[mainframe]]\naddress = \"GPIB0::20::INSTR\"\nidentification = \"A\"\n"
            "error_queue = [{ code = -222, message = \"Data out of range\" }]\n"
            "[[mainframe.fault]]\nfunction = \"kv740m_preset\"\nstatus = 0xBFFC0D07\n"
                            "code = -350\nmessage = \"Queue overflow\"\n");
  const KvSession a = Open("GPIB0::20::INSTR");
  EXPECT_EQ(driver.kv740m_preset(a), kKvInstrumentError);
  EXPECT_EQ(PopError(a), "-222 Data out of range");
  EXPECT_EQ(PopError(a), "-350 Queue overflow");
  EXPECT_EQ(PopError(a), "0 No error");
}

TEST_F(SimFaultsTest, WarningFaultStillDoesTheWork) {
  LoadBench(kOneMainframe + "[[mainframe.fault]]\nfunction = \"kv740m_set_TLS_laserState\"\n"
                            "status = 0x3FFC0101\nmessage = \"Laser needs warming up\"\n");
  const KvSession a = Open("GPIB0::20::INSTR");
  EXPECT_EQ(driver.kv740m_set_TLS_laserState(a, 0, 1), 0x3FFC0101);
  uint16_t state = 0;
  ASSERT_EQ(driver.kv740m_get_TLS_laserState_Q(a, 0, &state), 0);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(ErrorMessage(0x3FFC0101), "Laser needs warming up");
}

TEST_F(SimFaultsTest, LockedLaserRefusesChangesWithAQueueMessage) {
  std::string toml = kOneMainframe;
  toml.insert(toml.find("[[mainframe.slot]]\nslot = 1"), "locked = true\n");
  LoadBench(toml);
  const KvSession a = Open("GPIB0::20::INSTR");
  EXPECT_EQ(driver.kv740m_set_TLS_parameters(a, 0, 1, 3, 1, 0.001, 0.0, 1.544e-6), kKvInstrumentError);
  EXPECT_EQ(driver.kv740m_set_TLS_laserState(a, 0, 1), kKvInstrumentError);
  EXPECT_EQ(PopError(a), "-221 Settings conflict; laser source is locked");
  EXPECT_EQ(PopError(a), "-221 Settings conflict; laser source is locked");
  uint16_t state = 9;
  EXPECT_EQ(driver.kv740m_get_TLS_laserState_Q(a, 0, &state), 0);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(driver.kv740m_TLS_sweepControl(a, 0, 1), kKvInstrumentError);
}

TEST_F(SimFaultsTest, StuckLoggingNeverFinishes) {
  LoadBench(kOneMainframe + "logging_finishes = false\n");
  const KvSession a = Open("GPIB0::20::INSTR");
  double estimate = 0;
  ASSERT_EQ(driver.kv740m_standardTriggerConfiguration(a, 3, 0, 0, 0), 0);
  ASSERT_EQ(driver.kv740m_set_PWM_triggerConfiguration(a, 1, 1, 0), 0);
  ASSERT_EQ(driver.kv740m_set_PWM_logging(a, 1, 0, 0.1, 11, &estimate), 0);
  ASSERT_EQ(driver.kv740m_set_TLS_triggerConfiguration(a, 0, 0, 2), 0);
  ASSERT_EQ(driver.kv740m_set_TLS_sweep(a, 0, 2, 0, 1, 0, 0, 1.545e-6, 1.555e-6, 1e-9, 5e-9), 0);
  ASSERT_EQ(driver.kv740m_TLS_sweepControl(a, 0, 1), 0);
  ASSERT_EQ(driver.kv740m_TLS_sweepWait(a, 0), 0);
  uint16_t finished = 3;
  double results[11];
  EXPECT_EQ(driver.kv740m_get_PWM_loggingResults_Q(a, 1, 0, 0, 1, &finished, results), 0);
  EXPECT_EQ(finished, 0);
}

// The driver fills the buffers it is given no size for up to their size; VISA
// gives answers whole, or as far as a read's count allows, the rest to be read.
TEST_F(SimFaultsTest, OverlongTextsStayWithinTheSystemsBuffers) {
  LoadBench("format_version = 1\n[[mainframe]]\naddress = \"GPIB0::20::INSTR\"\n"
            "identification = \"Velmora Technologies,VT7412A,1,2\"\npad_identification_to = 12000\n"
            "system_error = \"-100,\\\"" + std::string(600, 'e') + "\\\"\"\n"
            "[[mainframe.fault]]\nfunction = \"kv740m_dcl\"\nstatus = -77\nmessage = \"" + std::string(700, 'm') + "\"\n"
            "[[mainframe.slot]]\nslot = 0\ntype = 1\nidentification = \"x\"\npad_identification_to = 11000\n");
  std::vector<char> id(10000 + 32, '\x7f');
  ASSERT_EQ(driver.kv740m_getInstrumentId_Q("GPIB0::20::INSTR", id.data()), 0);
  EXPECT_EQ(std::strlen(id.data()), 9999u);
  EXPECT_EQ(id[10000], '\x7f');

  std::vector<char> message(256 + 32, '\x7f');
  driver.kv740m_error_message(0, -77, message.data());
  EXPECT_EQ(std::string(message.data()), std::string(255, 'm'));
  EXPECT_EQ(message[256], '\x7f');

  const KvSession a = Open("GPIB0::20::INSTR");
  std::vector<char> answer(100 + 32, '\x7f');
  ASSERT_EQ(driver.kv740m_cmdString_Q(a, "SLOT0:IDN?", 100, answer.data()), 0);
  EXPECT_EQ(std::strlen(answer.data()), 99u);
  EXPECT_EQ(answer[100], '\x7f');

  ViSession manager = 0;
  ViSession instrument = 0;
  ASSERT_EQ(visa.viOpenDefaultRM(&manager), kViSuccess);
  ASSERT_EQ(visa.viOpen(manager, "GPIB0::20::INSTR", 0, 0, &instrument), kViSuccess);
  std::vector<char> idn(12000 + 32, '\x7f');
  ASSERT_EQ(visa.viQueryf(instrument, "*IDN?\n", "%t", idn.data()), kViSuccess);
  EXPECT_EQ(std::strlen(idn.data()), 12000u);
  ViInt32 count = 4096;
  ASSERT_EQ(visa.viQueryf(instrument, "*IDN?\n", "%#t", &count, idn.data()), kViSuccess);
  EXPECT_EQ(count, 4095);
  EXPECT_EQ(std::strlen(idn.data()), 4095u);
  count = 8000;
  ASSERT_EQ(visa.viScanf(instrument, "%#t", &count, idn.data()), kViSuccess);
  EXPECT_EQ(count, 7905);
  EXPECT_EQ(std::string(idn.data()), std::string(7905, '.'));
  // The message has been read to its end; a new command drops what is left.
  EXPECT_EQ(visa.viScanf(instrument, "%#t", &count, idn.data()), kViErrorTimeout);
  count = 10;
  ASSERT_EQ(visa.viQueryf(instrument, "%s\n", "%#t", "SYST:ERR?", &count, idn.data()), kViSuccess);
  EXPECT_EQ(std::string(idn.data()), "-100,\"eee");
  ASSERT_EQ(visa.viQueryf(instrument, "*IDN?\n", "%t", idn.data()), kViSuccess);
  EXPECT_EQ(visa.viScanf(instrument, "%t", idn.data()), kViErrorTimeout);
}

}  // namespace
