// The trigger test on simulated benches: the TLS list, the choice of the laser,
// the driver calls of one test in their order and the verdict lines.
#include <gtest/gtest.h>

#include <cstring>

#include "app/resource.h"
#include "bench/TlsSelectDlg.h"
#include "bench/TriggerCheck.h"
#include "instrument/OpticalLayerCheck.h"
#include "tests/unit/bench/BenchTestSupport.h"

namespace {

class TriggerCheckTest : public BenchTest {
 protected:
  // The list into the selection dialog, which the user then plays.
  int32_t Choose(CTriggerCheck& check, std::vector<HeadlessStep> steps) {
    Begin(check);
    CTlsSelectDlg dialog;
    dialog.m_check = &check;
    const int32_t count = check.GetTlsList(dialog.m_listText);
    dialogs.QueueScript(IDD_TLS_SELECT, std::move(steps));
    dialog.DoModal();
    return count;
  }
  // The one-TLS case of the command: the test at once.
  int32_t RunOnly(CTriggerCheck& check) {
    Begin(check);
    std::string list;
    const int32_t count = check.GetTlsList(list);
    check.RunTriggerTest(0);
    return count;
  }

  static std::vector<std::string> Items(HeadlessWindow& window) {
    std::vector<std::string> items;
    for (const HeadlessItem& item : window.Control(IDC_TLS_LIST)->items) items.push_back(item.text);
    return items;
  }
};

// An entry named after its TLS mainframe, for benches of many.
std::string TlsMainframe(int number, const std::string& extraSlots = "") {
  return Mainframe("GPIB0::" + std::to_string(number) + "::INSTR", "MF" + std::to_string(number),
                   {Slot(0, kSlotTunableLaser, "TLS" + std::to_string(number)),
                    Slot(1, kSlotPowerMeter, "PM" + std::to_string(number))}) +
         extraSlots;
}

TEST_F(TriggerCheckTest, OneTlsOnTheDefaultBenchRunsAtOnce) {
  CTriggerCheck check;
  EXPECT_EQ(RunOnly(check), 1);
  EXPECT_EQ(check.TlsList(), "GPIB0::20::INSTR, mainframe: VT7412A, TLS: VT7451B, SLOT0;");
  ExpectGolden("triggers_default_window.txt", Window());
  ExpectGolden("triggers_default_document.html", Document());
}

TEST_F(TriggerCheckTest, DriverCallsOfOneTestInTheirOrder) {
  bench.Use(Bench({TlsMainframe(20),
                   Mainframe("GPIB0::21::INSTR", "MF21", {Slot(5, kSlotDualPowerMeter, "PM2")})}));
  CTriggerCheck check;
  Begin(check);
  std::string list;
  ASSERT_EQ(check.GetTlsList(list), 1);
  DriverJournal().clear();
  EXPECT_EQ(check.RunTriggerTest(0), 0);
  const std::vector<std::string> expected = {
      "kv740m_forceTransaction(s1,1)",
      "kv740m_errorQueryDetect(s1,1)",
      "kv740m_standardTriggerConfiguration(s1,3,0,0,0)",
      "kv740m_getSlotInformation_Q(s1,18,*)",
      "kv740m_set_PWM_triggerConfiguration(s1,1,1,0)",
      "kv740m_set_PWM_logging(s1,1,0,0.1,11,*)",
      "kv740m_forceTransaction(s2,1)",
      "kv740m_errorQueryDetect(s2,1)",
      "kv740m_standardTriggerConfiguration(s2,3,0,0,0)",
      "kv740m_getSlotInformation_Q(s2,18,*)",
      // A two-channel meter: channel 0 only, once.
      "kv740m_set_PWM_triggerConfiguration(s2,5,1,0)",
      "kv740m_set_PWM_logging(s2,5,0,0.1,11,*)",
      "kv740m_set_TLS_triggerConfiguration(s1,0,0,2)",
      "kv740m_set_TLS_sweep(s1,0,2,0,1,0,0,1.545e-06,1.555e-06,1e-09,5e-09)",
      "kv740m_TLS_sweepControl(s1,0,1)",
      "kv740m_TLS_sweepWait(s1,0)",
      "kv740m_getSlotInformation_Q(s1,18,*)",
      "kv740m_get_PWM_loggingResults_Q(s1,1,0,0,1,*,*)",
      "kv740m_getInstrumentId_Q(\"GPIB0::20::INSTR\",*)",
      "kv740m_cmdString_Q(s1,\"SLOT1:IDN?\",30,*)",
      "kv740m_getSlotInformation_Q(s2,18,*)",
      "kv740m_get_PWM_loggingResults_Q(s2,5,0,0,1,*,*)",
      "kv740m_getInstrumentId_Q(\"GPIB0::21::INSTR\",*)",
      "kv740m_cmdString_Q(s2,\"SLOT5:IDN?\",30,*)",
  };
  // The listing is cached: the test asks the driver for it no more.
  EXPECT_EQ(Calls(check, {}), expected);
  EXPECT_EQ(WindowFrom("Starting a TLS sweep"),
            "Starting a TLS sweep, this might take a few minutes...\r\n"
            "Result for: PM20, SLOT1 inside mainframe: MF20 at address: GPIB0::20::INSTR\r\n"
            "OK, Logging finished\r\n"
            "Result for: PM2, SLOT5 inside mainframe: MF21 at address: GPIB0::21::INSTR\r\n"
            "OK, Logging finished\r\n"
            "_______________________________\r\n"
            "All powermeters have received the triggers.\r\n");
}

// The outcomes of the test, from the underscore line on (or the whole report
// after the header banner when there is no test).
TEST_F(TriggerCheckTest, VerdictsOfTheTest) {
  struct Case {
    const char* name;
    std::string bench;
    int32_t index;
    int32_t tlsCount;
    int32_t result;
    const char* from;
    std::string tail;
  };
  const std::string failing = "logging_finishes = false\n";
  const Case cases[] = {
      {"no power meter at all",
       Bench({Mainframe("GPIB0::20::INSTR", "MF20", {Slot(0, kSlotTunableLaser, "TLS20")})}), 0, 1,
       0, "Starting",
       "Starting a TLS sweep, this might take a few minutes...\r\n"
       "_______________________________\r\n"
       "All powermeters have received the triggers.\r\n"},
      {"two failing power meters",
       Bench(
           {Mainframe("GPIB0::20::INSTR", "MF20",
                      {Slot(0, kSlotTunableLaser, "TLS20"),
                       Slot(3, kSlotPowerMeter, "PMA", failing), Slot(4, kSlotPowerMeter, "PMB")}),
            Mainframe("GPIB0::21::INSTR", "MF21", {Slot(2, kSlotDualPowerMeter, "PMC", failing)})}),
       0, 1, 2, "_____",
       "_______________________________\r\n"
       "######2###### powermeter(s) have not received the triggers.\r\n"},
      {"a TLS outside slot 0 is not offered",
       Bench({Mainframe("GPIB0::20::INSTR", "MF20",
                        {Slot(1, kSlotPowerMeter, "PM1"), Slot(3, kSlotTunableLaser, "TLS3")})}),
       0, 0, 0, "Could not find", "Could not find any TLS.\r\n"},
      {"no mainframe", Bench({}), 0, 0, 0, "######",
       "######Could not find any device [mainframe]. Check the cable connection and weather an "
       "application is running on the mainframe \r\n"
       "Could not find any TLS.\r\n"},
      {"a position past the list", Bench({TlsMainframe(20)}), 1, 1, -1, "######",
       "######No such TLS\r\n"},
      {"no position at all", Bench({TlsMainframe(20)}), -1, 1, -1, "######",
       "######No such TLS\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bench.Use(c.bench);
    report.Window().Clear();
    DriverJournal().clear();
    CTriggerCheck check;
    Begin(check);
    std::string list = "untouched";
    EXPECT_EQ(check.GetTlsList(list), c.tlsCount);
    if (c.tlsCount <= 0) {
      EXPECT_EQ(list, "untouched");
    }
    EXPECT_EQ(check.RunTriggerTest(c.index), c.result);
    EXPECT_EQ(WindowFrom(c.from), c.tail);
    if (c.result < 0 || c.tlsCount == 0) {
      EXPECT_EQ(DriverCalls({"kv740m_forceTransaction", "kv740m_set_TLS_sweep"}).size(), 0u);
    }
  }
  // Both parts of the count line in bold red, one directly after the other.
  EXPECT_NE(Document().find("<b><font color=#ff0000>2</font></b><b><font color=#ff0000> "
                            "powermeter(s) have not received the triggers.\r\n<br></font></b>"),
            std::string::npos);
}

TEST_F(TriggerCheckTest, SamePrimaryAddressOnTwoBoardsIsEachSweptAsChosen) {
  bench.Use(Bench({Mainframe("GPIB0::20::INSTR", "MFA",
                             {Slot(0, kSlotTunableLaser, "TLSA"), Slot(1, kSlotPowerMeter, "PMA")}),
                   Mainframe("GPIB1::20::INSTR", "MFB",
                             {Slot(0, kSlotTunableLaser, "TLSB"), Slot(1, kSlotPowerMeter, "PMB")})}));
  for (int32_t chosen = 0; chosen < 2; ++chosen) {
    DriverJournal().clear();
    CTriggerCheck check;
    Begin(check);
    std::string list;
    ASSERT_EQ(check.GetTlsList(list), 2);
    EXPECT_EQ(check.RunTriggerTest(chosen), 0);
    EXPECT_EQ(Calls(check, {"kv740m_TLS_sweepControl"}),
              std::vector<std::string>{"kv740m_TLS_sweepControl(s" + std::to_string(chosen + 1) + ",0,1)"});
  }
}

TEST_F(TriggerCheckTest, AddressesMatchWholeAndOnlyThemselves) {
  bench.Use(Bench({Mainframe("GPIB0::20::INSTR", "A", {}), Mainframe("GPIB::5", "B", {}),
                   Mainframe("GPIB1::20::INSTR", "C", {}), Mainframe("GPIB0::20::3::INSTR", "D", {}),
                   Mainframe("GPIB2::7", "E", {})}));
  CTriggerCheck check;
  Begin(check);
  const struct {
    const char* address;
    int32_t position;
  } cases[] = {
      {"GPIB0::20::INSTR", 0},
      {"GPIB::5", 1},
      {"GPIB1::20::INSTR", 2},
      {"GPIB0::20::3::INSTR", 3},
      {"GPIB2::7", 4},
      {"GPIB3::20::INSTR", -1},
      {"GPIB0::5::INSTR", -1},
      {"GPIB::", -1},
      {"GPIB0::20", -1},
      {"GPIB2::70", -1},
      {"GPIB0::20::INSTR and far more than the nineteen characters of an address", -1},
      {"", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(check.FindMainframeByAddress(c.address), c.position) << c.address;
  }
  std::string address = "untouched";
  EXPECT_EQ(check.GetMainframeAddress(0x7777, address), -1);
  EXPECT_EQ(address, "untouched");
  EXPECT_EQ(Count(Window(), "Please be aware"), 1u);
}

// A test seam: the TLS list as a later change of the bench could leave it.
class CTriggerCheckWithList : public CTriggerCheck {
 public:
  void SetList(const std::string& address, const std::string& entry) {
    m_tlsList = entry + ";";
    m_tlsEntries = {{address, entry}};
    m_tlsCount = 1;
  }
};

TEST_F(TriggerCheckTest, AnAddressOfNoListedMainframeConfiguresNothing) {
  bench.Use(Bench({TlsMainframe(20)}));
  CTriggerCheckWithList check;
  Begin(check);
  ASSERT_EQ(check.OpenAllMainframes(), 1);
  check.SetList("GPIB0::31::INSTR", "GPIB0::31::INSTR, mainframe: MF31, TLS: TLS31, SLOT0");
  DriverJournal().clear();
  EXPECT_EQ(check.RunTriggerTest(0), -1);
  EXPECT_EQ(DriverCalls(), std::vector<std::string>{});
  EXPECT_EQ(WindowFrom("######"),
            "######No listed mainframe has the address ######GPIB0::31::INSTR\r\n");
  EXPECT_EQ(Window().find("_____"), std::string::npos);
}

TEST_F(TriggerCheckTest, ThreeTlsesGoThroughTheDialogInListOrder) {
  bench.Use(Bench({TlsMainframe(20), TlsMainframe(21), TlsMainframe(22)}));
  CTriggerCheck check;
  std::vector<std::string> shown;
  int32_t selectedAtStart = -2;
  EXPECT_EQ(Choose(check, {headless::Run([&](HeadlessWindow& window) {
                             shown = Items(window);
                             selectedAtStart = window.Control(IDC_TLS_LIST)->curSel;
                           }),
                           headless::Select(IDC_TLS_LIST, 1),
                           // The test runs while the dialog is on screen.
                           headless::Click(kIdOk)}),
            3);
  const std::vector<std::string> expected = {
      "GPIB0::20::INSTR, mainframe: MF20, TLS: TLS20, SLOT0",
      "GPIB0::21::INSTR, mainframe: MF21, TLS: TLS21, SLOT0",
      "GPIB0::22::INSTR, mainframe: MF22, TLS: TLS22, SLOT0"};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(selectedAtStart, 0);
  EXPECT_EQ(dialogs.LastWindow(IDD_TLS_SELECT)->Result(), kIdOk);
  EXPECT_EQ(Calls(check, {"kv740m_TLS_sweepControl"}),
            std::vector<std::string>{"kv740m_TLS_sweepControl(s2,0,1)"});
  EXPECT_NE(Window().find("All powermeters have received the triggers."), std::string::npos);
  EXPECT_TRUE(dialogs.Faults().empty());
}

TEST_F(TriggerCheckTest, TwelveMainframesAndLongEntriesStayWhole) {
  std::vector<std::string> mainframes;
  for (int i = 1; i <= 10; ++i) mainframes.push_back(TlsMainframe(i));
  mainframes.push_back(Mainframe("GPIB0::11::INSTR", "MF;11",
                                 {Slot(0, kSlotTunableLaser, "TLS;11"), Slot(1, kSlotPowerMeter, "PM11")}));
  // A model far longer than an entry of 99 characters, and a ';' in it.
  const std::string model = std::string(150, 'M') + ";";
  mainframes.push_back(
      Mainframe("GPIB0::12::INSTR", model,
                {Slot(0, kSlotTunableLaser, "TLS12"), Slot(1, kSlotPowerMeter, "PM12")}));
  bench.Use(Bench(mainframes));
  CTriggerCheck check;
  std::vector<std::string> shown;
  EXPECT_EQ(Choose(check, {headless::Run([&](HeadlessWindow& window) { shown = Items(window); }),
                           headless::Select(IDC_TLS_LIST, 11), headless::Click(kIdOk)}),
            12);
  ASSERT_EQ(shown.size(), 12u);
  EXPECT_EQ(shown[10], "GPIB0::11::INSTR, mainframe: MF;11, TLS: TLS;11, SLOT0");
  EXPECT_EQ(shown[11], "GPIB0::12::INSTR, mainframe: " + model + ", TLS: TLS12, SLOT0");
  EXPECT_EQ(Calls(check, {"kv740m_TLS_sweepControl"}),
            std::vector<std::string>{"kv740m_TLS_sweepControl(s12,0,1)"});
  EXPECT_NE(Window().find("Result for: PM12, SLOT1 inside mainframe: " + model +
                          " at address: GPIB0::12::INSTR\r\nOK, Logging finished\r\n"),
            std::string::npos);
  EXPECT_EQ(Count(Window(), "OK, Logging finished"), 12u);
}

TEST_F(TriggerCheckTest, ExternalTextsReachTheDocumentAsText) {
  bench.Use(
      Bench({Mainframe("GPIB0::20::INSTR", "<b>&",
                       {Slot(0, kSlotTunableLaser, "T<i>"), Slot(1, kSlotPowerMeter, "P>")})}));
  CTriggerCheck check;
  EXPECT_EQ(RunOnly(check), 1);
  EXPECT_NE(Document().find("GPIB0::20::INSTR, mainframe: &lt;b&gt;&amp;, TLS: T&lt;i&gt;, SLOT0;"),
            std::string::npos);
  EXPECT_NE(
      Document().find("Result for: P&gt;, SLOT1 inside mainframe: &lt;b&gt;&amp; at address: "),
      std::string::npos);
  EXPECT_NE(Window().find("mainframe: <b>&, TLS: T<i>, SLOT0;"), std::string::npos);
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Before each wait of a flow, what was written so far is in the window: an
// insert comes right before the waiting call, or right after switching a
// laser on (the settling follows it).
TEST_F(TriggerCheckTest, TheWindowIsServedBeforeEveryWait) {
  const std::string prefix = FakeReportWindow::kJournalPrefix;
  const struct {
    bool optical;      // the Optical layer, else the trigger test of the one TLS
    const char* call;  // start of the journal entry of the call
    const char* end;   // and its end
    bool insertAfter;
    const char* shown;  // the end of the insert
  } cases[] = {
      {true, "kv740m_listVisa_Q(", ")", false, "existing GPIB kv740m addresses.\r\n"},
      {true, "kv740m_set_TLS_laserState(", ",1)", true, "V3.12(4711)\r\n"},
      {false, "kv740m_listVisa_Q(", ")", false, "existing GPIB kv740m addresses.\r\n"},
      {false, "kv740m_TLS_sweepWait(", ")", false,
       "Starting a TLS sweep, this might take a few minutes...\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.optical ? "optical " : "triggers ") + c.call);
    DriverJournal().clear();
    ReportFixture out;
    out.Clock().SetTicksPerRead(50);
    out.Window().SetJournal(&DriverJournal());
    COpticalLayerCheck optical;
    CTriggerCheck triggers;
    CInstrLayerCheck& check = c.optical ? static_cast<CInstrLayerCheck&>(optical) : triggers;
    out.Attach(check);
    ASSERT_EQ(check.BeginWithDriver(), 0);
    if (c.optical) {
      ReportFixture::StepToEnd(check);
    } else {
      std::string list;
      ASSERT_EQ(triggers.GetTlsList(list), 1);
      triggers.RunTriggerTest(0);
      // The flow's end is on screen while the check still lives.
      EXPECT_TRUE(EndsWith(out.WindowText(), "All powermeters have received the triggers.\r\n"));
    }
    const std::vector<std::string>& journal = DriverJournal();
    size_t at = 0;
    while (at < journal.size() &&
           !(journal[at].compare(0, std::strlen(c.call), c.call) == 0 && EndsWith(journal[at], c.end))) {
      ++at;
    }
    ASSERT_LT(at, journal.size());
    ASSERT_TRUE(c.insertAfter ? at + 1 < journal.size() : at > 0);
    const std::string& insert = c.insertAfter ? journal[at + 1] : journal[at - 1];
    EXPECT_EQ(insert.compare(0, prefix.size(), prefix), 0) << insert;
    EXPECT_TRUE(EndsWith(insert, c.shown)) << insert;
  }
}

TEST(TlsSelectDlgTest, CountListItemsCountsTerminatorsWithinTheLimit) {
  const struct {
    const char* text;
    int32_t limit;
    int32_t count;
  } cases[] = {
      {"", 10000, 0},      {"a;", 10000, 1},     {"a;b;c;", 10000, 3},
      {"a;b;c", 10000, 2}, {"a;b;c;", 4, 2},     {"a;b;c;", 0, 0},
      {";;;", 10000, 3},   {"a;\0b;", 10000, 1}, {nullptr, 10000, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CTlsSelectDlg::CountListItems(c.text, c.limit), c.count)
        << (c.text != nullptr ? c.text : "null") << " " << c.limit;
  }
}

}  // namespace
