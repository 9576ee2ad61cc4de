// Diagnose All on the simulated bench, saved as HTML and text into the test results:
// the browser check (browser-check.sh) opens the HTML file afterwards.
#include "tests/gui/BenchsentryFixture.h"

namespace gui {
namespace {

class Report : public BenchsentryTest {};

TEST_F(Report, DiagnoseAllOnTheSimulatedBenchIsSaved) {
  const std::string exe = Stage("app", true);
  ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, exe));
  ASSERT_NO_FATAL_FAILURE(Run(kDiagnoseAll));
  const std::string window = m_app.ReportText();
  Screenshot(".png");

  // The layers run in order, each from its header to its verdict.
  const size_t os = window.find(std::string(kHeaderRule) + "OS Layer check, ");
  const size_t osVerdict = window.find("OS Layer Check", os);
  const size_t sw = window.find(std::string(kHeaderRule) + "SW Layer check, ");
  const size_t swVerdict = window.find("SW Layer Check", sw);
  EXPECT_EQ(os, 0u) << window;
  EXPECT_LT(osVerdict, sw) << window;
  EXPECT_NE(swVerdict, std::string::npos) << window;

  const std::string base = JoinPath(Env().resultsDir, "diagnose-all");
  RemoveTree(base + ".html");
  RemoveTree(base + ".txt");
  ASSERT_NO_FATAL_FAILURE(SaveAs(kSave, base));
  ASSERT_NO_FATAL_FAILURE(SaveAs(kSaveAsText, base));
  EXPECT_EQ(ReadFile(base + ".txt"), TextMode(window));
  const std::string html = ReadFile(base + ".html");
  EXPECT_EQ(html.rfind(TextMode(kReportHead), 0), 0u);
  for (const char* colour : {"<font color=#ff0000>", "<font color=#009000>",
                             "<font color=#900090>"}) {
    EXPECT_NE(html.find(colour), std::string::npos) << colour;
  }
}

}  // namespace
}  // namespace gui
