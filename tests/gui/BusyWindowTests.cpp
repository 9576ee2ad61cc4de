// A long command on the faults bench (a listing of 3 s, a locked laser settling
// for 3 s): the caption says what runs, the window paints and answers while the
// laser settles, and nothing sent meanwhile starts a second command.
#include "tests/gui/BenchsentryFixture.h"

namespace gui {
namespace {

class BusyWindow : public BenchsentryTest {
 protected:
  void SetUp() override {
    BenchsentryTest::SetUp();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", JoinPath(Env().benches, "faults.toml").c_str());
    ASSERT_NO_FATAL_FAILURE(StartIn(m_dir, Stage("app", true)));
    ASSERT_TRUE(m_app.PostCommand(kOpticalLayer));
  }
  void TearDown() override {
    BenchsentryTest::TearDown();
    SetEnvironmentVariableA("BENCHSENTRY_BENCH", nullptr);
  }

  const std::string kBusy = std::string(kCaption) + " - Optical layer: ";
};

TEST_F(BusyWindow, PaintsAndIgnoresCommandsWhileALaserSettles) {
  HWND main = m_app.MainWindow();
  ASSERT_TRUE(WaitForCaption(main, kBusy + "listing mainframes (this can take minutes)")) << Caption(main);
  // The driver's listing itself blocks: the caption has said why beforehand.
  EXPECT_TRUE(SaveScreenshot(ResultPath(".1.listing.png"), main));
  ASSERT_TRUE(WaitForCaption(main, kBusy + "laser in slot 0 settling")) << Caption(main);

  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  EXPECT_TRUE(WaitPainted(main, 1500 * Env().slowness)) << "no paint while the laser settles";
  DWORD_PTR ignored = 0;
  EXPECT_NE(SendMessageTimeoutA(main, WM_COMMAND, MAKEWPARAM(kOsLayer, 0), 0, SMTO_NORMAL, 1500 * Env().slowness, &ignored), 0)
      << "a command sent while the laser settles got no answer";
  // Posted commands are dropped, not run once the first one has ended.
  EXPECT_TRUE(PostMessageA(main, WM_COMMAND, MAKEWPARAM(kGpibLayer, 0), 0));
  EXPECT_EQ(Caption(main), kBusy + "laser in slot 0 settling") << "the settle ended before the checks";
  EXPECT_TRUE(SaveScreenshot(ResultPath(".2.settling.png"), main));

  ASSERT_TRUE(WaitForCaption(main, kCaption)) << Caption(main);
  ASSERT_TRUE(m_app.WaitIdle());
  const std::string report = m_app.ReportText();
  EXPECT_NE(report.find("Optical Layer Check FAILED!!!."), std::string::npos) << report;
  EXPECT_EQ(report.find("OS Layer check"), std::string::npos);
  EXPECT_EQ(report.find("GPIB Layer check"), std::string::npos);
  Screenshot(".png");
}

TEST_F(BusyWindow, CloseWaitsForTheRunningCommand) {
  HWND main = m_app.MainWindow();
  ASSERT_TRUE(WaitForCaption(main, kBusy + "laser in slot 0 settling")) << Caption(main);
  DWORD_PTR ignored = 0;
  EXPECT_NE(SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_NORMAL, 1500 * Env().slowness, &ignored), 0);
  EXPECT_FALSE(m_app.HasExited());
  EXPECT_TRUE(IsWindowVisible(main)) << "closed in the middle of the laser switch";
  EXPECT_TRUE(m_app.WaitForExit(30000)) << "the close was lost";
}

}  // namespace
}  // namespace gui
