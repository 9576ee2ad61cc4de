// Diagnose All on the simulated bench, saved as HTML and text into the test results:
// the browser check (browser-check.sh) opens the HTML file afterwards.
#include "app/LayerCatalogue.h"
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

  // The five layers run in order, each from its header to its verdict, also after
  // a layer that failed (the OS layer does under Wine: no mfc42.dll).
  size_t at = 0;
  for (const CLayerEntry& entry : kLayers) {
    const std::string layer = entry.name;
    const size_t header = window.find(std::string(kHeaderRule) + layer + " Layer check, ", at);
    ASSERT_NE(header, std::string::npos) << layer << "\n" << window;
    if (at == 0) {
      EXPECT_EQ(header, 0u) << window;
    }
    const size_t verdict = window.find(std::string("\r\n") + layer + " Layer Check", header);
    ASSERT_NE(verdict, std::string::npos) << layer << "\n" << window;
    at = verdict;
  }
  EXPECT_NE(window.find("Optical Layer Checked, result OK."), std::string::npos) << window;
  EXPECT_NE(window.find("Measurement result for channel 2: "), std::string::npos) << window;

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
