// The call sequences the diagnosis makes, in its order and with its
// arguments and buffer sizes, against the simulated bench: the inventory of a
// mainframe, the laser and power operations, the GPIB scan and the whole
// trigger test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/unit/sim/SimTestSupport.h"

namespace {

constexpr char kSentinel = '\x7f';

// A buffer of the size the system passes, with a guard area behind it.
class CGuardedText {
 public:
  explicit CGuardedText(size_t size) : m_size(size), m_data(size + 64, kSentinel) { m_data[0] = '\0'; }
  char* Data() { return m_data.data(); }
  std::string Text() const { return m_data.data(); }
  bool GuardIntact() const {
    for (size_t i = m_size; i < m_data.size(); ++i) {
      if (m_data[i] != kSentinel) return false;
    }
    return true;
  }

 private:
  size_t m_size;
  std::vector<char> m_data;
};

std::string FaultsBench() {
  const std::string data = BS_TEST_DATA_DIR;
  return data.substr(0, data.size() - std::strlen("tests/unit/sim/data")) + "sim/benches/faults.toml";
}

std::string Item(const std::string& text, int index, char separator) {
  std::string item;
  int passed = 0;
  for (char c : text) {
    if (c == separator) {
      if (++passed == index) break;
      continue;
    }
    if (passed == index - 1) item += c;
  }
  return item;
}

class SimSystemCallsTest : public SimTest {
 protected:
  // What the system's error report reads back for a failed call, then the clear.
  void Report(KvSession session, KvStatus status) {
    if (status >= 0) return;
    CGuardedText text(256);
    if (status == kKvInstrumentError) {
      int32_t code = 0;
      driver.kv740m_error_query(session, &code, text.Data());
      errors += "Instrument Error : " + text.Text() + "\n";
    } else {
      driver.kv740m_error_message(session, status, text.Data());
      errors += "Driver Error : " + text.Text() + "\n";
    }
    EXPECT_TRUE(text.GuardIntact());
    driver.kv740m_cls(session);
  }

  std::vector<std::string> ListMainframes() {
    int32_t count = 0;
    CGuardedText list(5000);
    Report(0, driver.kv740m_listVisa_Q(0, 1, &count, list.Data()));
    EXPECT_TRUE(list.GuardIntact());
    std::vector<std::string> addresses;
    for (int i = 1; i <= count; ++i) addresses.push_back(Item(list.Text(), i, ','));
    return addresses;
  }
  KvSession OpenMainframe(const std::string& address) {
    KvSession session = 0;
    Report(session, driver.kv740m_init(address.c_str(), 1, 0, &session));
    Report(session, driver.kv740m_preset(session));
    return session;
  }
  std::vector<int32_t> SlotTypes(KvSession session) {
    std::vector<int32_t> types(18 + 4, -1);
    Report(session, driver.kv740m_getSlotInformation_Q(session, 18, types.data()));
    EXPECT_EQ(types[18], -1);
    types.resize(18);
    return types;
  }
  std::string Model(const std::string& address) {
    CGuardedText id(2048);
    driver.kv740m_getInstrumentId_Q(address.c_str(), id.Data());
    EXPECT_TRUE(id.GuardIntact());
    return Item(id.Text(), 2, ',');
  }
  std::string SlotLabel(int32_t slot, KvSession session) {
    CGuardedText answer(30);
    const std::string command = "SLOT" + std::to_string(slot) + ":IDN?";
    Report(session, driver.kv740m_cmdString_Q(session, command.c_str(), 30, answer.Data()));
    EXPECT_TRUE(answer.GuardIntact());
    return Item(answer.Text(), 2, ',') + ", SLOT" + std::to_string(slot);
  }
  double ReportPower(KvSession session, int32_t slot, int32_t channel) {
    Report(session, driver.kv740m_set_PWM_parameters(session, slot, channel, 1, 1, 1, 1.544e-6, 0.02, 0.0));
    double value = -1.0;
    Report(session, driver.kv740m_PWM_readValue(session, slot, channel, &value));
    return value;
  }
  void AllLasers(KvSession session, const std::vector<int32_t>& types, bool on) {
    for (int32_t slot = 0; slot < 18; ++slot) {
      if (types[static_cast<size_t>(slot)] != 5) continue;
      if (on) Report(session, driver.kv740m_set_TLS_parameters(session, slot, 1, 3, 1, 0.001, 0.0, 1.544e-6));
      Report(session, driver.kv740m_set_TLS_laserState(session, slot, on ? 1 : 0));
    }
  }

  // The inventory of one mainframe with measurement: one line per occupied slot.
  std::string ReportMainframe(const std::string& address) {
    const KvSession session = OpenMainframe(address);
    driver.kv740m_cls(session);
    CGuardedText id(10000);
    Report(session, driver.kv740m_getInstrumentId_Q(address.c_str(), id.Data()));
    EXPECT_TRUE(id.GuardIntact());
    std::string text = "InstrumentID: " + id.Text() + "\n";
    const std::vector<int32_t> types = SlotTypes(session);
    AllLasers(session, types, true);
    for (int32_t slot = 0; slot < 18; ++slot) {
      const int32_t type = types[static_cast<size_t>(slot)];
      if (type == 0) continue;
      CGuardedText answer(100);
      const std::string command = "SLOT" + std::to_string(slot) + ":IDN?";
      Report(session, driver.kv740m_cmdString_Q(session, command.c_str(), 100, answer.Data()));
      EXPECT_TRUE(answer.GuardIntact());
      text += "Slot " + std::to_string(slot) + " type " + std::to_string(type) + ": " + answer.Text();
      for (int32_t channel = 0; channel < (type == 2 ? 2 : (type == 1 ? 1 : 0)); ++channel) {
        char value[32];
        std::snprintf(value, sizeof value, " %.3e W", ReportPower(session, slot, channel));
        text += value;
      }
      text += "\n";
    }
    AllLasers(session, types, false);
    return text;
  }

  // The trigger test with the laser of the given TLS entry; returns the
  // number of power meters whose logging did not finish.
  int TriggerTest(size_t tlsIndex) {
    const std::vector<std::string> addresses = ListMainframes();
    std::vector<KvSession> sessions;
    for (const std::string& address : addresses) sessions.push_back(OpenMainframe(address));
    std::vector<size_t> tls;
    for (size_t m = 0; m < sessions.size(); ++m) {
      if (SlotTypes(sessions[m])[0] != 5) continue;
      tlsList += addresses[m] + ", mainframe: " + Model(addresses[m]) + ", TLS: " + SlotLabel(0, sessions[m]) + ";";
      tls.push_back(m);
    }
    if (tlsIndex >= tls.size()) return -1;
    const KvSession laser = sessions[tls[tlsIndex]];

    for (KvSession s : sessions) {
      Report(s, driver.kv740m_forceTransaction(s, 1));
      Report(s, driver.kv740m_errorQueryDetect(s, 1));
      Report(s, driver.kv740m_standardTriggerConfiguration(s, 3, 0, 0, 0));
      const std::vector<int32_t> types = SlotTypes(s);
      for (int32_t slot = 0; slot < 18; ++slot) {
        if (types[static_cast<size_t>(slot)] != 1 && types[static_cast<size_t>(slot)] != 2) continue;
        Report(s, driver.kv740m_set_PWM_triggerConfiguration(s, slot, 1, 0));
        double estimate = 0.0;
        Report(s, driver.kv740m_set_PWM_logging(s, slot, 0, 0.1, 11, &estimate));
      }
    }
    Report(laser, driver.kv740m_set_TLS_triggerConfiguration(laser, 0, 0, 2));
    Report(laser, driver.kv740m_set_TLS_sweep(laser, 0, 2, 0, 1, 0, 0, 1.545e-6, 1.555e-6, 1e-9, 5e-9));
    Report(laser, driver.kv740m_TLS_sweepControl(laser, 0, 1));
    Report(laser, driver.kv740m_TLS_sweepWait(laser, 0));

    int failures = 0;
    for (size_t m = 0; m < sessions.size(); ++m) {
      const KvSession s = sessions[m];
      const std::vector<int32_t> types = SlotTypes(s);
      for (int32_t slot = 0; slot < 18; ++slot) {
        if (types[static_cast<size_t>(slot)] != 1 && types[static_cast<size_t>(slot)] != 2) continue;
        uint16_t finished = 0;
        std::vector<double> results(11 + 2, -7.0);
        Report(s, driver.kv740m_get_PWM_loggingResults_Q(s, slot, 0, 0, 1, &finished, results.data()));
        EXPECT_EQ(results[11], -7.0);
        EXPECT_EQ(results[12], -7.0);
        results.resize(11);
        if (finished != 0) logged.push_back(results);
        const std::string model = Model(addresses[m]);
        transcript += "Result for: " + SlotLabel(slot, s) + " inside mainframe: " + model +
                      " at address: " + addresses[m] + "\n" +
                      (finished != 0 ? "OK, Logging finished\n" : "Logging not finished\n");
        failures += finished == 0 ? 1 : 0;
      }
    }
    return failures;
  }

  std::string errors;
  std::string tlsList;
  std::string transcript;
  std::vector<std::vector<double>> logged;
};

TEST_F(SimSystemCallsTest, InventoryOfBothMainframesWithMeasurement) {
  const std::vector<std::string> addresses = ListMainframes();
  ASSERT_EQ(addresses, (std::vector<std::string>{"GPIB0::20::INSTR", "GPIB0::22::INSTR"}));
  EXPECT_EQ(ReportMainframe(addresses[0]),
            "InstrumentID: Velmora Technologies,VT7412A,DE00000101,V3.12(4711)\n"
            "Slot 0 type 5: Velmora Technologies,VT7451B,DE00000201,V2.40\n"
            "Slot 1 type 1: Velmora Technologies,VT7462A,DE00000301,V1.08 4.700e-04 W\n"
            "Slot 2 type 2: Velmora Technologies,VT7464B,DE00000302,V1.08 2.100e-04 W 1.000e-05 W\n"
            "Slot 12 type 6: Velmora Technologies,VT7481A,DE00000401,V1.20\n");
  EXPECT_EQ(ReportMainframe(addresses[1]),
            "InstrumentID: Velmora Technologies,VT7412A,DE00000102,V3.12(4711)\n"
            "Slot 0 type 2: Velmora Technologies,VT7464B,DE00000303,V1.08 1.100e-10 W 1.300e-10 W\n"
            "Slot 3 type 1: Velmora Technologies,VT79501A,DE00000501,V0.95 2.000e-10 W\n");
  EXPECT_EQ(errors, "");
  // The lasers are off again: the first mainframe reads dark.
  const KvSession a = OpenMainframe(addresses[0]);
  EXPECT_DOUBLE_EQ(ReportPower(a, 1, 0), 3.2e-10);
}

TEST_F(SimSystemCallsTest, GuidedLaserSwitchReadBackAndReading) {
  const KvSession a = OpenMainframe(kMainframeA);
  for (int32_t output : {0, 1, 2, 3}) {
    Report(a, driver.kv740m_set_TLS_parameters(a, 0, 1, output, 1, 0.001, 0.0, 1.544e-6));
    Report(a, driver.kv740m_set_TLS_laserState(a, 0, 1));
    uint16_t state = 0;
    Report(a, driver.kv740m_get_TLS_laserState_Q(a, 0, &state));
    EXPECT_EQ(state, 1);
    int32_t read = -1;
    Report(a, driver.kv740m_get_TLS_opticalOutput_Q(a, 0, &read));
    EXPECT_EQ(read, output);
    EXPECT_EQ(SlotLabel(0, a), "VT7451B, SLOT0");
  }
  Report(a, driver.kv740m_set_PWM_parameters(a, 2, 1, 1, 1, 0, 1.544e-6, 0.01, 0.0));
  double value = 0.0;
  Report(a, driver.kv740m_PWM_readValue(a, 2, 1, &value));
  EXPECT_DOUBLE_EQ(value, 1.0e-5);
  // Switching off: the parameters turn the laser on, the state call off again.
  Report(a, driver.kv740m_set_TLS_parameters(a, 0, 1, 0, 1, 0.001, 0.0, 1.544e-6));
  Report(a, driver.kv740m_set_TLS_laserState(a, 0, 0));
  uint16_t state = 1;
  Report(a, driver.kv740m_get_TLS_laserState_Q(a, 0, &state));
  EXPECT_EQ(state, 0);
  EXPECT_EQ(errors, "");
}

TEST_F(SimSystemCallsTest, LockedLaserAndFailingCallsAreReportedFromQueueAndText) {
  std::string error;
  ASSERT_TRUE(SimLoadBenchFile(FaultsBench(), error))
      << error;
  const std::vector<std::string> addresses = ListMainframes();
  ASSERT_EQ(addresses.size(), 3u);
  EXPECT_EQ(Delays(), std::vector<int32_t>{3000});
  const KvSession a = OpenMainframe(addresses[0]);
  AllLasers(a, SlotTypes(a), true);
  ReportPower(a, 1, 0);
  // The queue is read oldest first: the entry waiting since power-on comes
  // before the laser's own, and the clear after it drops the laser's.
  EXPECT_EQ(errors,
            "Instrument Error : Data out of range\n"
            "Instrument Error : Settings conflict; laser source is locked\n"
            "Instrument Error : Data out of range; averaging time\n"
            "Driver Error : Power meter head not connected\n");
  errors.clear();
  const KvSession b = OpenMainframe(addresses[1]);
  EXPECT_EQ(b, 0u);
  EXPECT_EQ(errors,
            "Driver Error : Mainframe does not answer the initialisation\n"
            "Driver Error : Invalid session handle\n");
}

TEST_F(SimSystemCallsTest, TriggerTestWithTwoMainframesFinishesEveryMeter) {
  EXPECT_EQ(TriggerTest(0), 0);
  EXPECT_EQ(tlsList, "GPIB0::20::INSTR, mainframe: VT7412A, TLS: VT7451B, SLOT0;");
  EXPECT_EQ(transcript,
            "Result for: VT7462A, SLOT1 inside mainframe: VT7412A at address: GPIB0::20::INSTR\n"
            "OK, Logging finished\n"
            "Result for: VT7464B, SLOT2 inside mainframe: VT7412A at address: GPIB0::20::INSTR\n"
            "OK, Logging finished\n"
            "Result for: VT7464B, SLOT0 inside mainframe: VT7412A at address: GPIB0::22::INSTR\n"
            "OK, Logging finished\n"
            "Result for: VT79501A, SLOT3 inside mainframe: VT7412A at address: GPIB0::22::INSTR\n"
            "OK, Logging finished\n");
  EXPECT_EQ(errors, "");
  ASSERT_EQ(logged.size(), 4u);
  EXPECT_DOUBLE_EQ(logged[3][10], 2.0e-10);
}

TEST_F(SimSystemCallsTest, TriggerTestCountsTheMeterWhoseLoggingDoesNotFinish) {
  LoadBench("format_version = 1\n"
            "[[mainframe]]\naddress = \"GPIB0::20::INSTR\"\nidentification = \"V,MF-A,1,1\"\n"
            "[[mainframe.slot]]\nslot = 0\ntype = 5\nidentification = \"V,TLS-A,1,1\"\n"
            "[[mainframe.slot]]\nslot = 1\ntype = 1\nidentification = \"V,PM-A1,1,1\"\n"
            "[[mainframe]]\naddress = \"GPIB0::21::INSTR\"\nidentification = \"V,MF-B,1,1\"\n"
            "[[mainframe.slot]]\nslot = 0\ntype = 5\nidentification = \"V,TLS-B,1,1\"\n"
            "[[mainframe.slot]]\nslot = 2\ntype = 2\nidentification = \"V,PM-B2,1,1\"\n"
            "[[mainframe.slot]]\nslot = 3\ntype = 1\nidentification = \"V,PM-B3,1,1\"\n"
            "logging_finishes = false\n");
  // The laser of the second mainframe triggers the meters of both.
  EXPECT_EQ(TriggerTest(1), 1);
  EXPECT_EQ(tlsList,
            "GPIB0::20::INSTR, mainframe: MF-A, TLS: TLS-A, SLOT0;"
            "GPIB0::21::INSTR, mainframe: MF-B, TLS: TLS-B, SLOT0;");
  EXPECT_EQ(transcript,
            "Result for: PM-A1, SLOT1 inside mainframe: MF-A at address: GPIB0::20::INSTR\n"
            "OK, Logging finished\n"
            "Result for: PM-B2, SLOT2 inside mainframe: MF-B at address: GPIB0::21::INSTR\n"
            "OK, Logging finished\n"
            "Result for: PM-B3, SLOT3 inside mainframe: MF-B at address: GPIB0::21::INSTR\n"
            "Logging not finished\n");
  EXPECT_EQ(errors, "");
}

TEST_F(SimSystemCallsTest, TriggerTestWithALockedLaserFinishesNothing) {
  LoadBench("format_version = 1\n"
            "[[mainframe]]\naddress = \"GPIB0::20::INSTR\"\nidentification = \"V,MF-A,1,1\"\n"
            "[[mainframe.slot]]\nslot = 0\ntype = 5\nidentification = \"V,TLS-A,1,1\"\nlocked = true\n"
            "[[mainframe.slot]]\nslot = 1\ntype = 1\nidentification = \"V,PM-A1,1,1\"\n");
  EXPECT_EQ(TriggerTest(0), 1);
  // Trigger configuration, sweep configuration and start are refused.
  EXPECT_EQ(errors,
            "Instrument Error : Settings conflict; laser source is locked\n"
            "Instrument Error : Settings conflict; laser source is locked\n"
            "Instrument Error : Settings conflict; laser source is locked\n");
}

// The GPIB layer's scan of boards 0 to 9, with a system-error query after
// every VISA call as the layer makes it.
class SimGpibScanTest : public SimTest {
 protected:
  void QuerySystemError(ViSession session) {
    CGuardedText answer(256);
    if (visa.viQueryf(session, "%s\n", "%t", "SYST:ERR?", answer.Data()) == kViErrorTimeout) {
      report += "System Error - Timeout\n";
    } else if (answer.Text()[0] != '+') {
      report += answer.Text().empty() ? "" : answer.Text() + "\n";
    }
    EXPECT_TRUE(answer.GuardIntact());
  }
  ViUInt32 ScanResources(const std::string& board) {
    ViSession manager = 0;
    const ViStatus opened = visa.viOpenDefaultRM(&manager);
    QuerySystemError(manager);
    if (opened != kViSuccess) return 0;
    visa.viSetAttribute(manager, kViAttrTimeoutValue, 2000);
    QuerySystemError(manager);
    const std::string pattern = board + "::?*INSTR";
    ViFindList list = 0;
    ViUInt32 count = 0;
    CGuardedText description(256);
    ViStatus found = visa.viFindRsrc(manager, pattern.c_str(), &list, &count, description.Data());
    while (found == kViSuccess) {
      report += "Found resource: " + description.Text() + "\n";
      visa.viSetAttribute(manager, kViAttrTimeoutValue, 2000);
      QuerySystemError(manager);
      ViSession instrument = 0;
      if (visa.viOpen(manager, description.Data(), 0, 0, &instrument) != kViSuccess) {
        QuerySystemError(instrument);
      } else {
        visa.viSetAttribute(instrument, kViAttrTimeoutValue, 2000);
        CGuardedText answer(4096);
        visa.viQueryf(instrument, "*IDN?\n", "%t", answer.Data());
        EXPECT_TRUE(answer.GuardIntact());
        report += "Instrument: " + answer.Text().substr(0, 80) + "\n";
        if (visa.viClose(instrument) == kViSuccess) {
          report += "resource closed successfully\n";
        } else {
          QuerySystemError(instrument);
        }
      }
      found = visa.viFindNext(list, description.Data());
    }
    EXPECT_TRUE(description.GuardIntact());
    return count;
  }
  std::vector<ViUInt32> ScanAllBoards() {
    std::vector<ViUInt32> counts;
    for (int board = 0; board <= 9; ++board) counts.push_back(ScanResources("GPIB" + std::to_string(board)));
    return counts;
  }
  std::string report;
};

TEST_F(SimGpibScanTest, DefaultBenchFindsTheMainframesAndTheFurtherInstrument) {
  EXPECT_EQ(ScanAllBoards(), (std::vector<ViUInt32>{2, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(report,
            "Found resource: GPIB0::20::INSTR\n"
            "Instrument: Velmora Technologies,VT7412A,DE00000101,V3.12(4711)\n"
            "resource closed successfully\n"
            "Found resource: GPIB0::22::INSTR\n"
            "Instrument: Velmora Technologies,VT7412A,DE00000102,V3.12(4711)\n"
            "resource closed successfully\n"
            "Found resource: GPIB1::7::INSTR\n"
            "Instrument: Oberon Instruments,DMM-3400,OB-118204,1.4.2\n"
            "resource closed successfully\n");
  EXPECT_TRUE(Delays().empty());
}

TEST_F(SimGpibScanTest, FaultBenchShowsTimeoutsFailedOpenAndCloseAndOddAnswers) {
  std::string error;
  ASSERT_TRUE(SimLoadBenchFile(FaultsBench(), error))
      << error;
  EXPECT_EQ(ScanAllBoards(), (std::vector<ViUInt32>{3, 2, 1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(report,
            "Found resource: GPIB0::20::INSTR\n"
            "Instrument: Velmora Technologies,VT7412A,DE00000101,V3.12 <beta> & \"test\"\n"
            "-410,\"Query INTERRUPTED\"\n"
            "Found resource: GPIB0::22::INSTR\n"
            "Found resource: GPIB0::24::INSTR\n"
            "Instrument: \n"
            "resource closed successfully\n"
            "Found resource: GPIB1::7::INSTR\n"
            "Instrument: \n"
            "resource closed successfully\n"
            "Found resource: GPIB1::9::INSTR\n"
            "Instrument: Oberon Instruments,PSU-20,OB-220981,2.0\n"
            "System Error - Timeout\n"
            "Found resource: GPIB2::3::INSTR\n"
            "Instrument: Odd <Answers> & Co,<scope>,&amp;,1<2>0\n"
            "resource closed successfully\n");
  EXPECT_EQ(Delays(), (std::vector<int32_t>{200, 200, 200}));
}

TEST_F(SimGpibScanTest, EmptyBusFindsNothingAnywhere) {
  LoadBench("format_version = 1\n");
  EXPECT_EQ(ScanAllBoards(), std::vector<ViUInt32>(10, 0));
  EXPECT_EQ(report, "");
}

}  // namespace
