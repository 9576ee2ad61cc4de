// "Triggers" and "Guided Optical Test" in the real program against the simulated
// bench: the TLS selection dialog on a bench of two lasers, none on a bench of
// one, and the guided dialog driven through a switch, a measurement and Exit.
// Both dialogs are held to their templates: class, style, place and size.
#include "tests/gui/BenchsentryFixture.h"

namespace gui {
namespace {

constexpr WORD kTriggers = 32800;
constexpr WORD kTriggersAlt = 32788;
constexpr WORD kGuided = 32801;

constexpr char kSelectCaption[] = "Please choose a TLS to generate the triggers";
constexpr char kGuidedCaption[] = "Please select";

// A control of a template: its class, id (-1 for a label or frame, found by its
// text), text, and its rectangle in dialog units.
struct CTemplateControl {
  const char* className;
  int id;
  const char* text;
  RECT units;  // left, top, right, bottom
};

RECT Units(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

const CTemplateControl kSelectTemplate[] = {
    {"Button", IDOK, "OK", Units(7, 42, 50, 14)},
    {"Button", IDCANCEL, "Cancel", Units(261, 42, 50, 14)},
    {"ComboBox", 1006, nullptr, Units(7, 7, 304, 49)},
};

const CTemplateControl kGuidedTemplate[] = {
    {"Button", IDOK, "Measure", Units(205, 140, 101, 14)},
    {"Button", IDCANCEL, "Exit", Units(254, 164, 60, 14)},
    {"ComboBox", 1006, nullptr, Units(11, 28, 118, 78)},
    {"ComboBox", 1008, nullptr, Units(11, 54, 92, 65)},
    {"ComboBox", 1010, nullptr, Units(110, 54, 24, 51)},
    {"ComboBox", 1013, nullptr, Units(11, 97, 124, 72)},
    {"ComboBox", 1009, nullptr, Units(11, 123, 93, 56)},
    {"ComboBox", 1012, nullptr, Units(107, 123, 54, 63)},
    {"Button", 1001, nullptr, Units(11, 150, 149, 13)},
    {"Edit", 1011, nullptr, Units(206, 118, 101, 14)},
    {"Edit", 1000, nullptr, Units(178, 7, 136, 97)},
    {"Static", -1, "mainframe, GPIB address", Units(11, 17, 97, 8)},
    {"Static", -1, "SLOT", Units(11, 44, 69, 8)},
    {"Static", -1, "Channel", Units(107, 44, 27, 8)},
    {"Static", -1, "mainframe, GPIB address", Units(11, 86, 80, 8)},
    {"Static", -1, "SLOT", Units(11, 113, 93, 8)},
    {"Static", -1, "Optical output", Units(107, 113, 46, 8)},
    {"Static", -1, "Laser state", Units(11, 138, 62, 8)},
    {"Static", -1, "result:", Units(182, 121, 20, 8)},
    {"Button", -1, "Power meter", Units(4, 7, 164, 64)},
    {"Button", -1, "Tunable Laser Source", Units(4, 75, 164, 92)},
    {"Button", -1, "Measurement", Units(177, 107, 137, 53)},
};

bool Near(LONG a, LONG b) { return a - b <= 2 && b - a <= 2; }

// The dialog's controls in template order, each where the template puts it. A
// drop-down combo box is as high as its edit field, not as its list.
template <size_t N>
void ExpectLayout(HWND dialog, const CDialogInfo& info, int width, int height,
                  const CTemplateControl (&controls)[N]) {
  ASSERT_EQ(info.controls.size(), N) << Describe(info);
  for (size_t i = 0; i < N; ++i) {
    const CTemplateControl& expected = controls[i];
    const CControlInfo& actual = info.controls[i];
    SCOPED_TRACE("control " + std::to_string(i) + " " + actual.className + " \"" + actual.text +
                 "\"");
    EXPECT_EQ(_stricmp(actual.className.c_str(), expected.className), 0);
    EXPECT_EQ(actual.id, expected.id < 0 ? 0xFFFF : expected.id);
    if (expected.text != nullptr) {
      EXPECT_EQ(actual.text, expected.text);
    }
    EXPECT_TRUE(actual.visible);
    const RECT want = DialogUnitsToPixels(dialog, width, height, expected.units);
    EXPECT_TRUE(Near(actual.rect.left, want.left)) << actual.rect.left << " " << want.left;
    EXPECT_TRUE(Near(actual.rect.top, want.top)) << actual.rect.top << " " << want.top;
    EXPECT_TRUE(Near(actual.rect.right, want.right)) << actual.rect.right << " " << want.right;
    if (std::string(expected.className) != "ComboBox") {
      EXPECT_TRUE(Near(actual.rect.bottom, want.bottom))
          << actual.rect.bottom << " " << want.bottom;
    }
  }
}

// Two mainframes with a laser each; the first one's is locked, so a test on it
// would show instrument errors.
constexpr char kTwoTlsBench[] =
    "format_version = 1\n"
    "[[mainframe]]\naddress = \"GPIB0::20::INSTR\"\n"
    "identification = \"Velmora Technologies,VT7412A,DE00000101,V3.12\"\n"
    "[[mainframe.slot]]\nslot = 0\ntype = 5\nlocked = true\n"
    "identification = \"Velmora Technologies,VT7451B,DE00000201,V2.40\"\n"
    "[[mainframe.slot]]\nslot = 1\ntype = 1\n"
    "identification = \"Velmora Technologies,VT7462A,DE00000301,V1.08\"\n"
    "[[mainframe]]\naddress = \"GPIB0::21::INSTR\"\n"
    "identification = \"Velmora Technologies,VT7412A,DE00000102,V3.12\"\n"
    "[[mainframe.slot]]\nslot = 0\ntype = 5\n"
    "identification = \"Velmora Technologies,64290K,DE00000202,V1.10\"\n"
    "[[mainframe.slot]]\nslot = 4\ntype = 2\n"
    "identification = \"Velmora Technologies,VT7464B,DE00000304,V1.08\"\n";

class BenchCommands : public BenchsentryTest {
 protected:
  void TearDown() override {
    BenchsentryTest::TearDown();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr);
  }

  // The program next to the simulated bench, on the bench file given or the default one.
  void StartOnBench(const char* toml) {
    const std::string exe = Stage("app", true);
    if (toml != nullptr) {
      const std::string bench = JoinPath(m_dir, "bench.toml");
      ASSERT_TRUE(WriteFileBytes(bench, toml));
      ASSERT_TRUE(SetEnvironmentVariableA("BENCHSENTRY_BENCH", bench.c_str()));
    } else {
      SetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr);
    }
    ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
  }

  std::string Hint(HWND dialog) const { return WindowText(GetDlgItem(dialog, 1000)); }

  // While a command's dialog or message box is open, the main window owns it,
  // is disabled under it and has its plain caption; it opens over it, a box
  // centred on it.
  void ExpectOwnedByTheMainWindow(HWND window, bool dialog) const {
    HWND main = m_app.MainWindow();
    EXPECT_EQ(GetWindow(window, GW_OWNER), main);
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_EQ(WindowText(main), "Diagnostic Tool - Velmora Technologies");
    RECT outer = {};
    RECT inner = {};
    ASSERT_TRUE(GetWindowRect(main, &outer) && GetWindowRect(window, &inner));
    if (!dialog) {
      EXPECT_NEAR((inner.left + inner.right) / 2, (outer.left + outer.right) / 2, 2);
      EXPECT_NEAR((inner.top + inner.bottom) / 2, (outer.top + outer.bottom) / 2, 2);
    }
    // The guided dialog is about as high as the main window: a few pixels' grace.
    const LONG grace = 4;
    EXPECT_TRUE(inner.left >= outer.left - grace && inner.top >= outer.top - grace &&
                inner.right <= outer.right + grace && inner.bottom <= outer.bottom + grace)
        << inner.left << "," << inner.top << " " << inner.right << "," << inner.bottom << " in " << outer.left
        << "," << outer.top << " " << outer.right << "," << outer.bottom;
  }
};

TEST_F(BenchCommands, TriggersOnOneTlsRunsWithoutAsking) {
  ASSERT_NO_FATAL_FAILURE(StartOnBench(nullptr));
  ASSERT_NO_FATAL_FAILURE(Run(kTriggersAlt));
  EXPECT_EQ(m_app.FindDialog(), nullptr);
  const std::string report = m_app.ReportText();
  EXPECT_EQ(report.find(kHeaderRule + std::string("Triggers Layer check, ")), 0u) << report;
  EXPECT_EQ(Section(report, "Found TLSes", "Starting"),
            "Found TLSes: \r\nGPIB0::20::INSTR, mainframe: VT7412A, TLS: VT7451B, SLOT0;\r\n")
      << report;
  EXPECT_EQ(Section(report, "Result for: VT7462A", "Result for: VT7464B"),
            "Result for: VT7462A, SLOT1 inside mainframe: VT7412A at address: GPIB0::20::INSTR\r\n"
            "OK, Logging finished\r\n")
      << report;
  const std::string verdict =
      "_______________________________\r\nAll powermeters have received the triggers.\r\n";
  EXPECT_EQ(report.substr(report.size() - verdict.size()), verdict) << report;
  EXPECT_EQ(report.find("######"), std::string::npos) << report;
  Screenshot(".png");
}

TEST_F(BenchCommands, TriggersOnTwoTlsesAsksWhichLaserSweeps) {
  ASSERT_NO_FATAL_FAILURE(StartOnBench(kTwoTlsBench));
  ASSERT_TRUE(m_app.PostCommand(kTriggers));
  HWND dialog = m_app.WaitForDialog(60000, kSelectCaption);
  ASSERT_NE(dialog, nullptr) << m_app.ReportText();
  ASSERT_TRUE(WaitPainted(dialog));
  ExpectOwnedByTheMainWindow(dialog, true);
  const CDialogInfo info = m_app.ReadDialog(dialog);
  ASSERT_NO_FATAL_FAILURE(ExpectLayout(dialog, info, 319, 63, kSelectTemplate));
  const CControlInfo* list = info.Control(1006);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->items,
            (std::vector<std::string>{"GPIB0::20::INSTR, mainframe: VT7412A, TLS: VT7451B, SLOT0",
                                      "GPIB0::21::INSTR, mainframe: VT7412A, TLS: 64290K, SLOT0"}));
  EXPECT_EQ(list->selection, 0);
  EXPECT_EQ(list->style & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST));
  EXPECT_NE(list->style & CBS_SORT, 0u);
  EXPECT_NE(list->style & CBS_AUTOHSCROLL, 0u);
  Screenshot(".select.png", dialog);

  ASSERT_TRUE(m_app.SelectComboItem(dialog, 1006, 1));
  ASSERT_TRUE(m_app.PressButton(dialog, IDOK));
  ASSERT_TRUE(m_app.WaitForNoDialog(60000));
  ASSERT_TRUE(m_app.WaitIdle());
  const std::string report = m_app.ReportText();
  // The unlocked laser of the second mainframe swept: no instrument errors.
  EXPECT_EQ(report.find("Instrument Error"), std::string::npos) << report;
  EXPECT_NE(report.find("Result for: VT7464B, SLOT4 inside mainframe: VT7412A at address: "
                        "GPIB0::21::INSTR\r\nOK, Logging finished\r\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("All powermeters have received the triggers.\r\n"), std::string::npos)
      << report;
  Screenshot(".png");
}

TEST_F(BenchCommands, GuidedTestOnAnEmptyBusSaysSoInABoxOverTheMainWindow) {
  ASSERT_NO_FATAL_FAILURE(StartOnBench("format_version = 1\n"));
  ASSERT_TRUE(m_app.PostCommand(kGuided));
  HWND box = m_app.WaitForDialog(60000, "No mainframe");
  ASSERT_NE(box, nullptr) << m_app.ReportText();
  ASSERT_TRUE(WaitPainted(box));
  ExpectOwnedByTheMainWindow(box, false);
  // As it stands: the fixture's screenshot brings the main window to the front first.
  EXPECT_TRUE(SaveScreenshot(ResultPath(".box-over-main.png"), m_app.MainWindow()));
  Screenshot(".png");
  ASSERT_TRUE(m_app.PressButton(box, IDOK));
  ASSERT_TRUE(m_app.WaitForNoDialog(60000));
  ASSERT_TRUE(m_app.WaitIdle());
  EXPECT_TRUE(IsWindowEnabled(m_app.MainWindow()));
  EXPECT_NE(m_app.ReportText().find("######Could not find any instrument.\r\n"), std::string::npos);
}

TEST_F(BenchCommands, GuidedTestSwitchesMeasuresAndLeavesItsBlocksInTheReport) {
  ASSERT_NO_FATAL_FAILURE(StartOnBench(nullptr));
  ASSERT_TRUE(m_app.PostCommand(kGuided));
  HWND dialog = m_app.WaitForDialog(60000, kGuidedCaption);
  ASSERT_NE(dialog, nullptr) << m_app.ReportText();
  ASSERT_TRUE(m_app.WaitIdle());
  ASSERT_TRUE(WaitPainted(dialog));
  ExpectOwnedByTheMainWindow(dialog, true);
  CDialogInfo info = m_app.ReadDialog(dialog);
  ASSERT_NO_FATAL_FAILURE(ExpectLayout(dialog, info, 319, 183, kGuidedTemplate));
  EXPECT_EQ(info.Control(1006)->items,
            (std::vector<std::string>{"VT7412A, GPIB0::20::INSTR", "VT7412A, GPIB0::22::INSTR"}));
  EXPECT_EQ(info.Control(1008)->items,
            (std::vector<std::string>{"VT7464B, SLOT2", "VT7462A, SLOT1"}));
  EXPECT_EQ(info.Control(1009)->items, std::vector<std::string>{"VT7451B, SLOT0"});
  EXPECT_EQ(info.Control(1010)->items, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(info.Control(1012)->items,
            (std::vector<std::string>{"HIGHPOW", "LOWSSE", "BHR", "BLR"}));
  for (int id : {1006, 1008, 1010, 1009, 1012}) {
    EXPECT_EQ(info.Control(id)->style & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST)) << id;
  }
  EXPECT_EQ(info.Control(1013)->style & 3u, static_cast<DWORD>(CBS_DROPDOWN));
  EXPECT_NE(info.Control(1000)->style & ES_MULTILINE, 0u);
  EXPECT_NE(info.Control(1000)->style & ES_READONLY, 0u);
  EXPECT_EQ(info.Control(1001)->text, "Off");
  EXPECT_TRUE(info.Control(1010)->enabled);
  // The show handler's measurement.
  EXPECT_EQ(info.Control(1011)->text, " -6.823909e+001 dBm");
  EXPECT_EQ(Hint(dialog).find("You can play around a little bit with the\r\n"), 0u);
  Screenshot(".guided.png", dialog);

  // The window answers while the driver's calls run, so the end of each click
  // shows in its control, not in an idle window.
  const auto waitForText = [&](int id, const std::string& text) {
    for (const DWORD start = GetTickCount(); WindowText(GetDlgItem(dialog, id)) != text && GetTickCount() - start < 30000;) {
      Sleep(50);
    }
    return m_app.WaitIdle();
  };
  ASSERT_TRUE(m_app.PressButton(dialog, 1001));
  ASSERT_TRUE(waitForText(1001, "On"));
  EXPECT_EQ(WindowText(GetDlgItem(dialog, 1001)), "On");
  ASSERT_TRUE(m_app.PressButton(dialog, IDOK));
  ASSERT_TRUE(waitForText(1011, " -6.777807e+000 dBm"));
  EXPECT_EQ(WindowText(GetDlgItem(dialog, 1011)), " -6.777807e+000 dBm");
  EXPECT_EQ(Hint(dialog),
            "Your measured value is:\r\n  -6.777807e+000 dBm\r\nOk, the power meter has read a "
            "proper\r\nvalue of above -7.0000e+001 dBM.");
  Screenshot(".measured.png", dialog);
  ASSERT_TRUE(m_app.FocusControl(dialog, 1012));
  ASSERT_TRUE(m_app.WaitIdle());
  EXPECT_EQ(Hint(dialog).find("This is a optical output window.\r\n"), 0u) << Hint(dialog);

  ASSERT_TRUE(m_app.PressButton(dialog, IDCANCEL));
  ASSERT_TRUE(m_app.WaitForNoDialog());
  ASSERT_TRUE(m_app.WaitIdle());
  const std::string report = m_app.ReportText();
  EXPECT_EQ(report.find(kHeaderRule + std::string("Guided optical Layer check, ")), 0u) << report;
  const std::string second = report.substr(report.rfind("Measurement for :"));
  EXPECT_EQ(second,
            "Measurement for :\r\nmainframe: VT7412A, GPIB0::20::INSTR\r\n"
            "power meter: VT7464B, SLOT2\r\n"
            "power meter channel: 1\r\n"
            "TLS source: VT7451B, SLOT0\r\n"
            "TLS state (Laser state): On\r\n"
            "TLS optical output: HIGHPOW\r\n"
            "_____________________________________\r\n"
            "measured value:  -6.777807e+000 dBm\r\n\r\n")
      << report;
  // One block at the opening, one for the button, none at the closing.
  size_t blocks = 0;
  for (size_t at = report.find("Measurement for :"); at != std::string::npos;
       at = report.find("Measurement for :", at + 1)) {
    ++blocks;
  }
  EXPECT_EQ(blocks, 2u) << report;
  EXPECT_EQ(report.find("######"), std::string::npos) << report;
  Screenshot(".png");
}

}  // namespace
}  // namespace gui
