// "Instrument I/O..." in the real program on the simulated bench of
// instrument-io.toml: a query into the panel and the report, a box for bad
// input over the panel, a late answer, and the panel answering while a call waits.
#include "tests/gui/BenchsentryFixture.h"

namespace gui {
namespace {

constexpr WORD kInstrumentIo = 32812;
constexpr char kIoCaption[] = "Instrument I/O";
enum : int { kResource = 1100, kTimeout = 1101, kCommand = 1104, kWrite = 1105, kRead = 1106, kQuery = 1107,
             kClear = 1108, kOutput = 1111 };

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

LONG CentreX(const RECT& r) { return (r.left + r.right) / 2; }
LONG CentreY(const RECT& r) { return (r.top + r.bottom) / 2; }

class InstrumentIo : public BenchsentryTest {
 protected:
  void SetUp() override {
    BenchsentryTest::SetUp();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", JoinPath(Env().benches, "instrument-io.toml").c_str());
    ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, Stage("app", true)));
    ASSERT_TRUE(m_app.PostCommand(kInstrumentIo));
    m_panel = m_app.WaitForDialog(60000, kIoCaption);
    ASSERT_NE(m_panel, nullptr) << m_app.ReportText();
    ASSERT_TRUE(m_app.WaitIdle());
    ASSERT_TRUE(WaitPainted(m_panel));
  }
  void TearDown() override {
    BenchsentryTest::TearDown();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr);
  }

  // Types the resource, time-out and command, presses the button and, unless
  // a box is to come, waits for the action's text: the window answers meanwhile.
  void Act(const char* resource, const char* timeout, const char* command, int button, bool box = false) {
    for (const auto& [id, text] : {std::pair<int, const char*>{kResource, resource}, {kTimeout, timeout}, {kCommand, command}}) {
      ASSERT_TRUE(text == nullptr || SetDlgItemTextA(m_panel, id, text));
    }
    const std::string before = Output();
    ASSERT_TRUE(m_app.PressButton(m_panel, button));
    for (const DWORD start = GetTickCount(); !box && Output() == before && GetTickCount() - start < 30000 * Env().slowness;) Sleep(50);
    ASSERT_TRUE(m_app.WaitIdle());
  }
  std::string Output() const { return WindowText(GetDlgItem(m_panel, kOutput)); }

  HWND m_panel = nullptr;
};

TEST_F(InstrumentIo, QueriesAnInstrumentIntoPanelAndReportAndBoxesBadInputOverThePanel) {
  HWND main = m_app.MainWindow();
  EXPECT_EQ(GetWindow(m_panel, GW_OWNER), main);
  EXPECT_FALSE(IsWindowEnabled(main));
  RECT outer = {};
  RECT inner = {};
  ASSERT_TRUE(GetWindowRect(main, &outer) && GetWindowRect(m_panel, &inner));
  EXPECT_NEAR(CentreX(inner), CentreX(outer), 2);
  const CDialogInfo info = m_app.ReadDialog(m_panel);
  ASSERT_NE(info.Control(kResource), nullptr) << Describe(info);
  EXPECT_EQ(info.Control(kResource)->items.front(), "GPIB0::20::INSTR") << Describe(info);
  EXPECT_EQ(info.Control(kResource)->text, "GPIB0::20::INSTR");
  EXPECT_EQ(info.Control(kCommand)->text, "*IDN?");

  ASSERT_NO_FATAL_FAILURE(Act(nullptr, nullptr, nullptr, kQuery));
  const std::string output = Output();
  EXPECT_EQ(output.rfind("Query: *IDN?\\n\r\n  viWrite 6 bytes: 0x00000000 VI_SUCCESS, ", 0), 0u) << output;
  EXPECT_TRUE(Contains(output, "\r\n  answer: Velmora Technologies,VT7412A,DE00000101,V3.12(4711)\\n\r\n"
                               "  viRead 52 bytes: 0x3FFF0005 VI_SUCCESS_TERM_CHAR, ")) << output;
  Screenshot(".query.png", m_panel);

  ASSERT_NO_FATAL_FAILURE(Act(nullptr, "0", nullptr, kQuery, true));
  // The box has the panel's caption: it is the one the panel is disabled under.
  HWND box = nullptr;
  for (const DWORD start = GetTickCount(); (box == nullptr || box == m_panel) && GetTickCount() - start < 20000; Sleep(50)) {
    box = m_app.FindDialog(kIoCaption);
  }
  ASSERT_NE(box, nullptr);
  ASSERT_NE(box, m_panel);
  ASSERT_TRUE(WaitPainted(box));
  EXPECT_EQ(m_app.ReadMessageBox(box).text, "The time-out must be a whole number of milliseconds from 1 to 600000.");
  EXPECT_EQ(GetWindow(box, GW_OWNER), m_panel);
  RECT boxRect = {};
  ASSERT_TRUE(GetWindowRect(box, &boxRect) && GetWindowRect(m_panel, &inner));
  EXPECT_NEAR(CentreX(boxRect), CentreX(inner), 2);
  EXPECT_NEAR(CentreY(boxRect), CentreY(inner), 2);
  EXPECT_TRUE(SaveScreenshot(ResultPath(".box-over-panel.png"), m_panel));
  ASSERT_TRUE(m_app.PressButton(box, IDOK));
  ASSERT_TRUE(m_app.WaitIdle());
  EXPECT_EQ(Output(), output) << "bad input changed the panel's text";

  ASSERT_TRUE(m_app.PressButton(m_panel, IDCANCEL));
  ASSERT_TRUE(m_app.WaitForNoDialog());
  ASSERT_TRUE(m_app.WaitIdle());
  const std::string report = m_app.ReportText();
  EXPECT_EQ(report.rfind(kHeaderRule + std::string("Instrument I/O GPIB0::20::INSTR, "), 0), 0u) << report;
  EXPECT_TRUE(Contains(report, "Query: *IDN?\\n\r\n  viWrite 6 bytes: 0x00000000 VI_SUCCESS, ")) << report;
  EXPECT_TRUE(Contains(report, "  answer: Velmora Technologies,VT7412A,DE00000101,V3.12(4711)\\n\r\n")) << report;
  Screenshot(".png");
}

TEST_F(InstrumentIo, ALateAnswerComesWithTheNextRead) {
  ASSERT_NO_FATAL_FAILURE(Act("GPIB1::4::INSTR", "1000", "*IDN?", kQuery));
  EXPECT_TRUE(Contains(Output(), "  viRead 0 bytes: 0xBFFF0015 VI_ERROR_TMO, ")) << Output();
  EXPECT_TRUE(Contains(Output(), "  No answer within the time-out: a late answer may come with the next read.\r\n"
                                 "  Device Clear empties the instrument's output.\r\n")) << Output();
  GUITHREADINFO thread = {};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(m_panel, nullptr), &thread));
  EXPECT_EQ(thread.hwndFocus, GetDlgItem(m_panel, kClear)) << "Device Clear is not offered";
  Screenshot(".timeout.png", m_panel);

  ASSERT_NO_FATAL_FAILURE(Act(nullptr, nullptr, nullptr, kRead));
  const std::string read = Output().substr(Output().rfind("Read\r\n"));
  EXPECT_TRUE(Contains(read, "  answer: Oberon Instruments,DMM-3400,OB-118204,1.4.2\\n\r\n")) << read;
  EXPECT_TRUE(Contains(read, "  This may be the late answer to *IDN?\\n\r\n")) << read;
  Screenshot(".late.png", m_panel);
}

TEST_F(InstrumentIo, ThePanelAnswersWhileASlowCallWaits) {
  // Long enough for the probes below, also on a slow machine.
  const std::string timeout = std::to_string(5000 * Env().slowness);
  ASSERT_TRUE(SetDlgItemTextA(m_panel, kResource, "GPIB1::5::INSTR"));
  ASSERT_TRUE(SetDlgItemTextA(m_panel, kTimeout, timeout.c_str()));
  ASSERT_TRUE(m_app.PressButton(m_panel, kRead));
  const std::string reading = "Instrument I/O - reading from GPIB1::5::INSTR (time-out " + timeout + " ms)";
  ASSERT_TRUE(WaitForCaption(m_panel, reading, 4000 * Env().slowness)) << Caption(m_panel);
  RedrawWindow(m_panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  EXPECT_TRUE(WaitPainted(m_panel, 1500 * Env().slowness)) << "no paint while the read waits";
  DWORD_PTR ignored = 0;
  EXPECT_NE(SendMessageTimeoutA(m_panel, WM_NULL, 0, 0, SMTO_NORMAL, 1500 * Env().slowness, &ignored), 0)
      << "the panel did not answer while the read waits";
  // A button pressed meanwhile starts nothing.
  EXPECT_TRUE(m_app.PressButton(m_panel, kQuery));
  EXPECT_TRUE(SaveScreenshot(ResultPath(".reading.png"), m_panel));
  EXPECT_EQ(Caption(m_panel), reading);
  ASSERT_TRUE(WaitForCaption(m_panel, kIoCaption, 10000 * Env().slowness)) << Caption(m_panel);
  ASSERT_TRUE(m_app.WaitIdle());
  EXPECT_TRUE(Contains(Output(), "Read\r\n  viRead 0 bytes: 0xBFFF0015 VI_ERROR_TMO, ")) << Output();
  EXPECT_FALSE(Contains(Output(), "Query")) << Output();
}

}  // namespace
}  // namespace gui
