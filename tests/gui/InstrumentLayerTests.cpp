// "GPIB Layer", "Instr. Layer" and "Optical Layer" in the real program against the
// simulated bench's DLLs: the window must hold exactly what the native tests expect
// of the same bench, whatever the bench and whichever driver variant is staged.
#include "tests/gui/BenchsentryFixture.h"

#include <windows.h>

namespace gui {
namespace {

// The header banner's time is the only part that differs from run to run.
std::string WithoutTimes(const std::string& text) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    end = end == std::string::npos ? text.size() : end + 2;
    std::string line = text.substr(pos, end - pos);
    const size_t at = line.find(" Layer check, ");
    if (at != std::string::npos && at < 16) line = line.substr(0, at) + " Layer check, <time>\r\n";
    out += line;
    pos = end;
  }
  return out;
}

class InstrumentLayers : public BenchsentryTest {
 protected:
  void TearDown() override {
    BenchsentryTest::TearDown();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr);
  }
  // The program started reads the bench file through its environment.
  void UseBench(const std::string& name) {
    ASSERT_FALSE(Env().benches.empty()) << "BS_GUI_BENCHES is not set";
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", JoinPath(Env().benches, name).c_str());
  }
  std::string Golden(const std::string& name) { return ReadFile(JoinPath(Env().golden, name + "_window.txt")); }
  // The program with the simulated bench, the driver replaced by one of its variants.
  std::string StageDriverVariant(const std::string& variant) {
    const std::string exe = Stage("app", true);
    const std::string dll = JoinPath(JoinPath(JoinPath(Env().simDir, "variants"), variant), "kv740m_32.dll");
    EXPECT_TRUE(CopyFileTo(dll, JoinPath(JoinPath(m_dir, "app"), "kv740m_32.dll"))) << dll;
    return exe;
  }
};

TEST_F(InstrumentLayers, EachLayerOnEachBenchWritesWhatTheNativeTestsExpect) {
  const struct {
    const char* bench;
    const char* golden;
    WORD gpib, instrument, optical;  // one id of each command, the other in the next row
  } cases[] = {
      {"default.toml", "default", kGpibLayer, kInstrLayer, kOpticalLayer},
      {"faults.toml", "faults", kGpibLayerAlt, kInstrLayerAlt, kOpticalLayerAlt},
      {"empty-bus.toml", "empty_bus", kGpibLayer, kInstrLayer, kOpticalLayer},
      {"markup.toml", "markup", kGpibLayerAlt, kInstrLayerAlt, kOpticalLayerAlt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bench);
    ASSERT_NO_FATAL_FAILURE(UseBench(c.bench));
    const std::string exe = Stage("app", true);
    ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
    ASSERT_NO_FATAL_FAILURE(Run(c.gpib));
    ASSERT_NO_FATAL_FAILURE(Run(c.instrument));
    ASSERT_NO_FATAL_FAILURE(Run(c.optical));
    Screenshot(std::string(".") + c.golden + ".png");
    const std::string expected = Golden(std::string("gpib_") + c.golden) +
                                 Golden(std::string("instr_") + c.golden) +
                                 Golden(std::string("optical_") + c.golden);
    EXPECT_EQ(WithoutTimes(m_app.ReportText()), WithoutTimes(expected));
    if (std::string(c.bench) == "markup.toml") {
      // Saved beside the program and copied to the results: the results folder may be
      // a share of the host's that Wine cannot create files in through the save dialog.
      const std::string saved = JoinPath(m_dir, "markup-bench");
      ASSERT_NO_FATAL_FAILURE(SaveAs(kSave, saved));
      const std::string html = ReadFile(saved + ".html");
      CopyFileTo(saved + ".html", JoinPath(Env().resultsDir, "markup-bench.html"));
      EXPECT_NE(html.find("Maker &lt;b&gt;,Model&amp;1,SN&gt;2,FW"), std::string::npos);
      EXPECT_EQ(html.find("<script>"), std::string::npos);
    }
    ASSERT_NO_FATAL_FAILURE(Close());
  }
}

TEST_F(InstrumentLayers, EachDriverVariantEndsTheLayerWithItsMessage) {
  const std::string banner = "**********************************************\r\n";
  const struct {
    const char* variant;  // null: no driver library next to the program
    const char* written;
    bool ok;
  } cases[] = {
      {nullptr, "######Could not load kv740m_32.dll, please run the ZELK layer check first\r\n", false},
      {"no-init", "kv740m_init not found in kv740m_32.dll", false},
      {"no-error-message", "kv740m_error_message kv740m_32.dll", false},
      {"no-timeout", "kv740m_timeOut not found in kv740m_32.dll", false},
      {"no-optical-output", "Please be aware", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variant ? c.variant : "no driver");
    const std::string exe = c.variant ? StageDriverVariant(c.variant) : Stage("app", false);
    ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
    ASSERT_NO_FATAL_FAILURE(Run(kInstrLayer));
    const std::string report = m_app.ReportText();
    const size_t body = report.find(banner, banner.size()) + banner.size();
    EXPECT_EQ(report.compare(body, std::string(c.written).size(), c.written), 0) << report;
    if (c.ok) {
      EXPECT_NE(report.find("Instrument Layer Checked, result OK."), std::string::npos) << report;
    } else {
      EXPECT_NE(report.find(std::string(c.written) + "An error detected in task number \r\n######"
                            "_______________________________\r\nInstrument Layer Check FAILED!!!. "),
                std::string::npos)
          << report;
    }
    ASSERT_NO_FATAL_FAILURE(Close());
    RemoveTree(JoinPath(m_dir, "app"));
  }
}

}  // namespace
}  // namespace gui
