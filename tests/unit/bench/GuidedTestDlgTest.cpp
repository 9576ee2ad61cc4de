// The guided optical test dialog on simulated benches, played headless: the
// lists and what they enable, the hints, the laser switch, the comments on
// the values and the report blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/resource.h"
#include "bench/GuidedTestDlg.h"
#include "tests/unit/bench/BenchTestSupport.h"

namespace {

// The controls that the selections enable and disable, in this order.
const int32_t kSwitchedControls[] = {IDC_CHANNEL,     IDC_POWER_METER, kIdOk,
                                     IDC_LASER_STATE, IDC_TLS_SLOT,    IDC_OUTPUT};

struct Snapshot {
  std::string enabled;  // "1010:0 1008:1 ..." for kSwitchedControls
  std::string hint;
  std::string result;
  std::string laserButton;
  std::vector<std::string> powerMeters;
  std::vector<std::string> lasers;
  std::vector<std::string> mainframes;
  int32_t output = -1;
};

std::vector<std::string> Items(HeadlessWindow& window, int32_t id) {
  std::vector<std::string> items;
  for (const HeadlessItem& item : window.Control(id)->items) items.push_back(item.text);
  return items;
}

Snapshot Take(HeadlessWindow& window) {
  Snapshot snapshot;
  for (int32_t id : kSwitchedControls) {
    if (!snapshot.enabled.empty()) snapshot.enabled += ' ';
    snapshot.enabled += std::to_string(id) + (window.Control(id)->enabled ? ":1" : ":0");
  }
  snapshot.hint = window.Text(IDC_HINT);
  snapshot.result = window.Text(IDC_RESULT);
  snapshot.laserButton = window.Text(IDC_LASER_STATE);
  snapshot.powerMeters = Items(window, IDC_POWER_METER);
  snapshot.lasers = Items(window, IDC_TLS_SLOT);
  snapshot.mainframes = Items(window, IDC_PWM_MAINFRAME);
  snapshot.output = window.Control(IDC_OUTPUT)->curSel;
  return snapshot;
}

class GuidedTestDlgTest : public BenchTest {
 protected:
  // The command's part once the driver is loaded: the dialog run with the
  // user's steps, then Exit; the state just before Exit is kept.
  Snapshot Open(CGuidedTestDlg& dialog, std::vector<HeadlessStep> steps) {
    Snapshot last;
    Begin(dialog);
    steps.push_back(headless::Run([&last](HeadlessWindow& window) { last = Take(window); }));
    steps.push_back(headless::Click(kIdCancel));
    dialogs.QueueScript(IDD_GUIDED_TEST, std::move(steps));
    m_result = dialog.DoModal();
    return last;
  }
  static HeadlessStep Keep(Snapshot& snapshot) {
    return headless::Run([&snapshot](HeadlessWindow& window) { snapshot = Take(window); });
  }

  intptr_t m_result = 0;
};

const std::string kTls = Slot(0, kSlotTunableLaser, "TLS0");
const std::string kOneChannel = Meter(1, kSlotPowerMeter, "PM1", 1e-12, 5e-4);

TEST_F(GuidedTestDlgTest, OpeningOnTheDefaultBenchMeasuresOnceAndExitWritesNoMore) {
  CGuidedTestDlg dialog;
  const Snapshot shown = Open(dialog, {});
  EXPECT_EQ(m_result, kIdCancel);
  EXPECT_EQ(shown.mainframes,
            (std::vector<std::string>{"VT7412A, GPIB0::20::INSTR", "VT7412A, GPIB0::22::INSTR"}));
  // From the highest slot down.
  EXPECT_EQ(shown.powerMeters, (std::vector<std::string>{"VT7464B, SLOT2", "VT7462A, SLOT1"}));
  EXPECT_EQ(shown.lasers, std::vector<std::string>{"VT7451B, SLOT0"});
  EXPECT_EQ(shown.laserButton, "Off");
  EXPECT_EQ(shown.result, " -6.823909e+001 dBm");
  EXPECT_EQ(shown.hint, kHintIntroductionAfterShow);
  EXPECT_EQ(Count(Document(), "Measurement for :"), 1u);
  ExpectGolden("guided_default_window.txt", Window());
  ExpectGolden("guided_default_document.html", Document());
  EXPECT_TRUE(dialogs.Faults().empty());
}

TEST_F(GuidedTestDlgTest, WhatTheSelectionsEnable) {
  struct Case {
    const char* name;
    std::string bench;
    std::vector<HeadlessStep> steps;
    const char* enabled;
    std::vector<std::string> powerMeters;
    std::string hint;
  };
  const Case cases[] = {
      {"no power meter",
       Bench({Mainframe("GPIB0::20::INSTR", "MF", {kTls})}),
       {},
       // The TLS list, filled after the power meters, enables the laser switch again.
       "1010:0 1008:0 1:0 1001:1 1009:1 1012:1",
       {},
       std::string(kHintNoPowerMeter) + "MF, GPIB0::20::INSTR"},
      {"one-channel power meter",
       Bench({Mainframe("GPIB0::20::INSTR", "MF", {kTls, kOneChannel})}),
       {headless::Select(IDC_POWER_METER, 0)},
       "1010:0 1008:1 1:1 1001:1 1009:1 1012:1",
       {"PM1, SLOT1"},
       kHintIntroduction},
      {"two-channel power meter",
       Bench({Mainframe("GPIB0::20::INSTR", "MF",
                        {kTls, Meter(4, kSlotDualPowerMeter, "PM4", 1e-12, 5e-4)})}),
       {headless::Select(IDC_POWER_METER, 0)},
       "1010:1 1008:1 1:1 1001:1 1009:1 1012:1",
       {"PM4, SLOT4"},
       kHintTwoChannels},
      {"no TLS",
       Bench({Mainframe("GPIB0::20::INSTR", "MF", {kOneChannel})}),
       {headless::Select(IDC_POWER_METER, 0)},
       "1010:0 1008:1 1:1 1001:0 1009:0 1012:0",
       {"PM1, SLOT1"},
       kHintIntroduction},
      {"a 64290K module has no output choice",
       Bench({Mainframe("GPIB0::20::INSTR", "MF",
                        {Slot(0, kSlotTunableLaser, "64290K"), kOneChannel})}),
       {},
       "1010:0 1008:1 1:1 1001:1 1009:1 1012:0",
       {"PM1, SLOT1"},
       kHintIntroductionAfterShow},
      {"795 meters are hidden, the rest from the highest slot down",
       Bench({Mainframe("GPIB0::20::INSTR", "MF",
                        {kTls, kOneChannel, Meter(3, kSlotPowerMeter, "VT79501A", 1e-12, 1e-12),
                         Meter(9, kSlotDualPowerMeter, "PM9", 1e-12, 5e-4)})}),
       {},
       "1010:1 1008:1 1:1 1001:1 1009:1 1012:1",
       {"PM9, SLOT9", "PM1, SLOT1"},
       kHintIntroductionAfterShow},
      {"a TLS mainframe without TLS leaves the power meter side alone",
       Bench({Mainframe("GPIB0::20::INSTR", "MFA", {kOneChannel}),
              Mainframe("GPIB0::21::INSTR", "MFB", {kTls})}),
       {headless::Select(IDC_TLS_MAINFRAME, 1), headless::Select(IDC_TLS_MAINFRAME, 0)},
       "1010:0 1008:1 1:1 1001:0 1009:0 1012:0",
       {"PM1, SLOT1"},
       kHintIntroductionAfterShow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bench.Use(c.bench);
    CGuidedTestDlg dialog;
    const Snapshot last = Open(dialog, c.steps);
    EXPECT_EQ(last.enabled, c.enabled);
    EXPECT_EQ(last.powerMeters, c.powerMeters);
    EXPECT_EQ(last.hint, c.hint);
    EXPECT_TRUE(dialogs.Faults().empty());
  }
}

TEST_F(GuidedTestDlgTest, CommentsOnTheMeasuredValue) {
  struct Case {
    const char* name;
    bool tls;
    double dark;
    double lit;
    bool switchOn;
    const char* shown;
    const char* comment;
  };
  const Case cases[] = {
      {"laser on, light", true, 1e-12, 5e-4, true, " -3.010300e+000 dBm", kCommentOnAbove},
      {"laser on, exactly -70 dBm", true, 1e-12, 1e-10, true, " -7.000000e+001 dBm",
       kCommentOnAbove},
      {"laser on, dark", true, 1e-12, 1e-12, true, " -9.000000e+001 dBm", kCommentOnBelow},
      {"laser off, light", true, 5e-4, 5e-4, false, " -3.010300e+000 dBm", kCommentOffAbove},
      {"laser off, dark", true, 1e-12, 5e-4, false, " -9.000000e+001 dBm", kCommentOffBelow},
      {"no TLS, light", false, 5e-4, 5e-4, false, " -3.010300e+000 dBm", kCommentNoTls},
      {"no TLS, dark", false, 1e-12, 1e-12, false, " -9.000000e+001 dBm", kCommentNoTls},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> slots = {Meter(1, kSlotPowerMeter, "PM1", c.dark, c.lit)};
    if (c.tls) slots.push_back(kTls);
    bench.Use(Bench({Mainframe("GPIB0::20::INSTR", "MF", slots)}));
    CGuidedTestDlg dialog;
    std::vector<HeadlessStep> steps;
    if (c.switchOn) steps.push_back(headless::Click(IDC_LASER_STATE));
    steps.push_back(headless::Click(kIdOk));
    const Snapshot last = Open(dialog, steps);
    EXPECT_EQ(last.result, c.shown);
    EXPECT_EQ(last.hint,
              std::string("Your measured value is:\r\n ") + c.shown + "\r\n" + c.comment);
  }
  // Without a laser the source's label is part of the information.
  EXPECT_NE(
      Document().find("<i><font color=#900090>\r\n<br>TLS source: No TLS available</font></i>"),
      std::string::npos);
}

TEST_F(GuidedTestDlgTest, MeasurementBlockNamesTheWholeSelection) {
  bench.Use(
      Bench({Mainframe("GPIB0::20::INSTR", "MF",
                       {kTls, kOneChannel, Meter(2, kSlotDualPowerMeter, "PM2", 1e-12, 2e-4)})}));
  CGuidedTestDlg dialog;
  Open(dialog, {headless::Select(IDC_CHANNEL, 1), headless::Select(IDC_OUTPUT, 2),
                headless::Click(IDC_LASER_STATE), headless::Click(kIdOk),
                // A one-channel meter after the channel list showed "2": read at channel 0.
                headless::Select(IDC_POWER_METER, 1), headless::Click(kIdOk)});
  const size_t first = Window().find("Measurement for :");
  ASSERT_NE(first, std::string::npos);
  const std::string blocks = Window().substr(Window().find("Measurement for :", first + 1));
  EXPECT_EQ(blocks,
            "Measurement for :\r\nmainframe: MF, GPIB0::20::INSTR\r\n"
            "power meter: PM2, SLOT2\r\n"
            "power meter channel: 2\r\n"
            "TLS source: TLS0, SLOT0\r\n"
            "TLS state (Laser state): On\r\n"
            "TLS optical output: BHR\r\n"
            "_____________________________________\r\n"
            "measured value:  -6.989700e+000 dBm\r\n\r\n"
            "Measurement for :\r\nmainframe: MF, GPIB0::20::INSTR\r\n"
            "power meter: PM1, SLOT1\r\n"
            "power meter channel: this is a one channel power meter\r\n"
            "TLS source: TLS0, SLOT0\r\n"
            "TLS state (Laser state): On\r\n"
            "TLS optical output: BHR\r\n"
            "_____________________________________\r\n"
            "measured value:  -3.010300e+000 dBm\r\n\r\n");
  EXPECT_EQ(Calls(dialog, {"kv740m_PWM_readValue"}).back(), "kv740m_PWM_readValue(s1,1,0,*)");
  EXPECT_NE(Document().find("power meter channel: <i><font color=#900090>this is a one channel "
                            "power meter</font></i>"),
            std::string::npos);
}

TEST_F(GuidedTestDlgTest, ExternalTextsReachTheDocumentAsText) {
  bench.Use(Bench({Mainframe(
      "GPIB0::20::INSTR", "<b>&",
      {Slot(0, kSlotTunableLaser, "T<i>"), Meter(1, kSlotPowerMeter, "P>", 1e-12, 5e-4)})}));
  CGuidedTestDlg dialog;
  const Snapshot last = Open(dialog, {});
  EXPECT_EQ(last.mainframes, std::vector<std::string>{"<b>&, GPIB0::20::INSTR"});
  EXPECT_NE(Document().find(
                "mainframe: <i><font color=#900090>&lt;b&gt;&amp;, GPIB0::20::INSTR</font></i>"),
            std::string::npos);
  EXPECT_NE(Document().find("power meter: <i><font color=#900090>P&gt;, SLOT1</font></i>"),
            std::string::npos);
  EXPECT_NE(Document().find("TLS source: <i><font color=#900090>T&lt;i&gt;, SLOT0</font></i>"),
            std::string::npos);
  EXPECT_NE(Window().find("mainframe: <b>&, GPIB0::20::INSTR\r\npower meter: P>, SLOT1\r\n"),
            std::string::npos);
}

TEST_F(GuidedTestDlgTest, OutputChangeSwitchesTheLaserOnlyWhileItIsOn) {
  bench.Use(Bench({Mainframe("GPIB0::20::INSTR", "MF", {kTls, kOneChannel})}));
  CGuidedTestDlg dialog;
  std::vector<std::string> whileOff;
  Open(dialog,
       {headless::Select(IDC_OUTPUT, 1), headless::Run([&](HeadlessWindow&) {
          whileOff = DriverCalls({"kv740m_set_TLS_parameters", "kv740m_set_TLS_laserState"});
        }),
        headless::Click(IDC_LASER_STATE), headless::Select(IDC_OUTPUT, 3),
        headless::Run([&](HeadlessWindow&) {
          EXPECT_EQ(LaserState(dialog, 0, 0), 1);
          int32_t output = -1;
          dialog.Driver().kv740m_get_TLS_opticalOutput_Q(dialog.Sessions()[0], 0, &output);
          EXPECT_EQ(output, 3);
        })});
  EXPECT_TRUE(whileOff.empty());
  const std::vector<std::string> expected = {
      "kv740m_set_TLS_parameters(s1,0,1,1,1,0.001,0,1.544e-06)",
      "kv740m_set_TLS_laserState(s1,0,1)",
      "kv740m_set_TLS_parameters(s1,0,1,3,1,0.001,0,1.544e-06)",
      "kv740m_set_TLS_laserState(s1,0,1)",
      // Exit.
      "kv740m_set_TLS_laserState(s1,0,0)",
  };
  EXPECT_EQ(Calls(dialog, {"kv740m_set_TLS_parameters", "kv740m_set_TLS_laserState"}), expected);
  EXPECT_EQ(CGuidedTestDlg::LaserOn(), 1);
  EXPECT_EQ(LaserState(dialog, 0, 0), 0);
}

TEST_F(GuidedTestDlgTest, ALaserThatDoesNotSwitchSaysSo) {
  bench.Use(
      Bench({Mainframe("GPIB0::20::INSTR", "MF",
                       {Slot(0, kSlotTunableLaser, "TLS0", "locked = true\n"), kOneChannel})}));
  CGuidedTestDlg dialog;
  const Snapshot last = Open(dialog, {headless::Click(IDC_LASER_STATE)});
  EXPECT_EQ(last.hint, kHintLaserFailed);
  EXPECT_EQ(last.laserButton, "Off");
  EXPECT_EQ(CGuidedTestDlg::LaserOn(), 0);
  EXPECT_NE(
      Window().find(
          std::string("Instrument Error : ######Settings conflict; laser source is locked\r\n") +
          "Check if your TLS is unlocked."),
      std::string::npos);
}

TEST_F(GuidedTestDlgTest, ExitSwitchesEveryLaserOffByItsOwnMainframesSlots) {
  // The second mainframe has no laser; it is the power-meter mainframe chosen last.
  bench.Use(
      Bench({Mainframe("GPIB0::20::INSTR", "MFA", {kTls, kOneChannel}),
             Mainframe("GPIB0::21::INSTR", "MFB", {kOneChannel}),
             Mainframe("GPIB0::22::INSTR", "MFC",
                       {Slot(0, kSlotTunableLaser, "TLSC"), Slot(7, kSlotTunableLaser, "TLS7")})}));
  CGuidedTestDlg dialog;
  Open(dialog, {headless::Click(IDC_LASER_STATE), headless::Select(IDC_TLS_MAINFRAME, 2),
                headless::Click(IDC_LASER_STATE), headless::Select(IDC_PWM_MAINFRAME, 1),
                headless::Run([&](HeadlessWindow&) {
                  EXPECT_EQ(LaserState(dialog, 0, 0), 1);
                  EXPECT_EQ(LaserState(dialog, 2, 0), 1);
                })});
  EXPECT_EQ(LaserState(dialog, 0, 0), 0);
  EXPECT_EQ(LaserState(dialog, 2, 0), 0);
  EXPECT_EQ(LaserState(dialog, 2, 7), 0);
  const std::vector<std::string> offAtExit = {"kv740m_set_TLS_laserState(s1,0,0)",
                                              "kv740m_set_TLS_laserState(s3,0,0)",
                                              "kv740m_set_TLS_laserState(s3,7,0)"};
  std::vector<std::string> calls = Calls(dialog, {"kv740m_set_TLS_laserState"});
  ASSERT_GE(calls.size(), 3u);
  calls.erase(calls.begin(), calls.end() - 3);
  EXPECT_EQ(calls, offAtExit);
}

TEST_F(GuidedTestDlgTest, TwelveMainframesEachStandForTheirOwnSession) {
  std::vector<std::string> mainframes;
  for (int i = 1; i <= 12; ++i) {
    mainframes.push_back(
        Mainframe("GPIB0::" + std::to_string(i) + "::INSTR", "MF" + std::to_string(i),
                  {Slot(0, kSlotTunableLaser, "TLS" + std::to_string(i)),
                   Meter(i % 18, kSlotPowerMeter, "PM" + std::to_string(i), 1e-12, 5e-4)}));
  }
  bench.Use(Bench(mainframes));
  CGuidedTestDlg dialog;
  KvSession pwm = 0;
  KvSession tls = 0;
  const Snapshot last =
      Open(dialog, {headless::Select(IDC_PWM_MAINFRAME, 11),
                    headless::Select(IDC_TLS_MAINFRAME, 10), headless::Run([&](HeadlessWindow&) {
                      pwm = dialog.PwmSession();
                      tls = dialog.TlsSession();
                    })});
  ASSERT_EQ(dialog.Sessions().size(), 12u);
  ASSERT_EQ(last.mainframes.size(), 12u);
  EXPECT_EQ(last.mainframes[11], "MF12, GPIB0::12::INSTR");
  EXPECT_EQ(last.powerMeters, std::vector<std::string>{"PM12, SLOT12"});
  EXPECT_EQ(last.lasers, std::vector<std::string>{"TLS11, SLOT0"});
  EXPECT_EQ(pwm, dialog.Sessions()[11]);
  EXPECT_EQ(tls, dialog.Sessions()[10]);
}

TEST_F(GuidedTestDlgTest, AMainframeWithoutModelIsLeftOutAndTheRestKeepTheirSessions) {
  bench.Use(Bench({Mainframe("GPIB0::20::INSTR", "MFA", {kOneChannel},
                             "[[mainframe.fault]]\nfunction = \"kv740m_getInstrumentId_Q\"\n"),
                   Mainframe("GPIB0::21::INSTR", "MFB",
                             {kTls, Meter(5, kSlotPowerMeter, "PM5", 1e-12, 5e-4)})}));
  CGuidedTestDlg dialog;
  KvSession pwm = 0;
  const Snapshot last =
      Open(dialog, {headless::Run([&](HeadlessWindow&) { pwm = dialog.PwmSession(); })});
  EXPECT_EQ(last.mainframes, std::vector<std::string>{"MFB, GPIB0::21::INSTR"});
  EXPECT_EQ(last.powerMeters, std::vector<std::string>{"PM5, SLOT5"});
  EXPECT_EQ(pwm, dialog.Sessions()[1]);
  EXPECT_NE(Window().find("######Problems while getting mainframe name\r\n"), std::string::npos);
}

TEST_F(GuidedTestDlgTest, NoMainframeShowsTheMessageAndCloses) {
  bench.Use(Bench({}));
  CGuidedTestDlg dialog;
  Begin(dialog);
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
  ASSERT_EQ(shell.MessageBoxes().size(), 1u);
  EXPECT_EQ(shell.MessageBoxes()[0].text, kNoMainframeMessage);
  EXPECT_EQ(shell.MessageBoxes()[0].caption, "No mainframe");
  EXPECT_EQ(shell.MessageBoxes()[0].type, kMbOk);
  EXPECT_EQ(shell.MessageBoxes()[0].owner, dialogs.LastWindow(IDD_GUIDED_TEST)->Handle());
  EXPECT_EQ(
      WindowFrom("Please be aware"),
      "Please be aware, that it might take a long time up to 5 minutes to get a list of all\r\n"
      "existing GPIB kv740m addresses.\r\n"
      "######Could not find any instrument.\r\n");
  EXPECT_EQ(shell.WaitCursorDepth(), 0);
  EXPECT_EQ(dialogs.AbandonedRuns(), 0);
}

TEST_F(GuidedTestDlgTest, FocusHints) {
  bench.Use(Bench({Mainframe("GPIB0::20::INSTR", "MF", {kTls, kOneChannel})}));
  const struct {
    int32_t id;
    const char* hint;
  } cases[] = {
      {IDC_PWM_MAINFRAME, kHintMainframe},
      {IDC_TLS_MAINFRAME, kHintMainframe},
      {IDC_POWER_METER, kHintPowerMeter},
      {IDC_CHANNEL, kHintChannel},
      {IDC_TLS_SLOT, kHintTls},
      {IDC_OUTPUT, kHintOutput},
      {IDC_RESULT, kHintMeasurement},
  };
  CGuidedTestDlg dialog;
  std::vector<HeadlessStep> steps;
  std::map<int32_t, std::string> seen;
  for (const auto& c : cases) {
    steps.push_back(headless::Focus(c.id));
    const int32_t id = c.id;
    steps.push_back(
        headless::Run([&seen, id](HeadlessWindow& window) { seen[id] = window.Text(IDC_HINT); }));
  }
  // Buttons and the hint window itself leave the hint as it is.
  steps.push_back(headless::Focus(IDC_LASER_STATE));
  steps.push_back(headless::Focus(IDC_HINT));
  const Snapshot last = Open(dialog, steps);
  for (const auto& c : cases) EXPECT_EQ(seen[c.id], c.hint) << c.id;
  EXPECT_EQ(last.hint, kHintMeasurement);
}

TEST_F(GuidedTestDlgTest, HintColourAndTheShowHandler) {
  bench.Use(Bench({Mainframe("GPIB0::20::INSTR", "MF", {kTls, kOneChannel})}));
  CGuidedTestDlg dialog;
  auto* hintDc = reinterpret_cast<DeviceContext>(0xD1);
  auto* resultDc = reinterpret_cast<DeviceContext>(0xD2);
  intptr_t brush = 0;
  Open(dialog, {headless::Run([&](HeadlessWindow& window) {
         dialogs.SetTextColor(hintDc, 0x00FF00FF);
         dialogs.SetTextColor(resultDc, 0x00FF00FF);
         brush = dialogs.CtlColor(window, IDC_HINT, kWmCtlColorStatic, hintDc);
         dialogs.CtlColor(window, IDC_RESULT, kWmCtlColorStatic, resultDc);
       })});
  EXPECT_EQ(brush, dialogs.DefaultBrush());
  EXPECT_EQ(dialogs.TextColour(hintDc), dialog.HintColor());
  EXPECT_EQ(dialog.HintColor(), 0u);
  EXPECT_EQ(dialogs.TextColour(resultDc), 0x00FF00FFu);
  // Shown once and hidden once: one automatic measurement, none at the hide.
  const std::vector<std::string>& journal = dialogs.Journal();
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "defwindowproc 0x0018"), 2);
  EXPECT_EQ(Count(Document(), "Measurement for :"), 1u);
}

}  // namespace
